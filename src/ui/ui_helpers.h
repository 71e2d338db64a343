#pragma once

#include <QColor>
#include <QFont>
#include <QLabel>
#include <QPushButton>
#include <QString>
#include <functional>
#include <optional>

class MessageBox;
class QDate;
class QListWidget;
class QWidget;

// Small helpers for building the forms: controls carry their form names as objectName.
namespace uih {

QLabel* label(QWidget* parent, const QString& name, const QString& text, const QRect& geometry, int pointSize = 12,
              bool bold = false);
QPushButton* button(QWidget* parent, const QString& name, const QString& text, const QRect& geometry,
                    int pointSize = 12);
void setBackground(QWidget* widget, const QColor& colour);
// The hidden "Just a moment, please." panel a screen shows while the next one loads, centred
// on the screen laid out at 1024×768 (or filling a small form).
QWidget* waitPanel(QWidget* parent, const QString& panelName, const QString& labelName, const QColor& colour,
                   const QString& text = QStringLiteral("Just a moment, please."));
QColor accent(qint32 colour);
// The program's one font for Japanese text, half-width katakana included: the first of the
// platform's proportional Japanese UI fonts that is installed (Meiryo UI or MS UI Gothic on
// Windows, IPA P Gothic here).
QString uiFontFamily();
QFont font(int pointSize, bool bold = false);
// A list whose lines are built in columns of half-width cells (the menu's names, the board's
// rankings): drawn on a grid of cells in the program's font, so that the columns line up.
void showLinesInCells(QListWidget* list, int pointSize);
// The program's text size, used for message boxes and every control without its own size.
constexpr int kTextPointSize = 12;
// Sets the program's font and the look shared by every screen; once, at start.
void applyProgramLook();

// Fits a screen laid out at its fixed size onto the screen it is shown on: scaled down (never
// up) so that it fits the available area with a title bar and frame, and centred there.
void fitAndCentre(QWidget* window);

// The teacher's documents folder where there is one, else the home folder: where files are
// offered and looked for, never the program folder.
QString documentsFolder();

// "CSVに書き出す": asks where to save (offered in the teacher's documents folder as
// "stem_yyyyMMdd.csv"), writes there with write (which returns what went wrong, if anything)
// and tells the teacher how it went.
void exportCsvAskingWhere(QWidget* parent, MessageBox& messages, const QString& stem, const QDate& today,
                          const std::function<std::optional<QString>(const QString& path)>& write);

} // namespace uih
