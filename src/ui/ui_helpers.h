#pragma once

#include <QColor>
#include <QDialog>
#include <QFileDialog>
#include <QFont>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QString>
#include <functional>
#include <optional>
#include <utility>

class MessageBox;
class QDate;
class QListWidget;
class QWidget;

// Small helpers for building the forms: controls carry their form names as objectName.
namespace uih {

// A dialog waited for over a window that may close while it is open: the board it stands beside
// goes, the program ends. The dialog is made on the heap as the window's child, so it goes with
// the window then; exec() says so, and the caller, whose window is gone too, returns at once
// without touching anything of its own. Otherwise the dialog is deleted with this guard.
template <typename Dialog> class Modal
{
public:
    template <typename... Args> explicit Modal(Args&&... args) : m_dialog(new Dialog(std::forward<Args>(args)...)) {}
    ~Modal() { delete m_dialog.data(); }
    Modal(const Modal&) = delete;
    Modal& operator=(const Modal&) = delete;

    Dialog* operator->() const { return m_dialog.data(); }
    Dialog& operator*() const { return *m_dialog; }
    Dialog* get() const { return m_dialog.data(); }
    // Whether the dialog still exists: false once its window has gone.
    explicit operator bool() const { return !m_dialog.isNull(); }
    // The dialog's result, or nothing when it went with its window.
    std::optional<int> exec()
    {
        const int result = m_dialog->exec();
        if (!m_dialog)
            return std::nullopt;
        return result;
    }
    // Accepted, and still there to be read.
    bool accepted() { return exec() == QDialog::Accepted; }

private:
    QPointer<Dialog> m_dialog;
};

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
// The font for a control on the widget `on`: the school face on a pupil's screen (a Form), else
// the program's font.
QFont font(int pointSize, bool bold = false, const QWidget* on = nullptr);
// The face pupils read on their own screens, as in their textbooks: a 教科書体 where the system
// has one (UD デジタル 教科書体 on Windows 10 and later), else BIZ UD ゴシック, else the program's
// font. The teacher's windows keep the program's font.
QString schoolFaceFamily();
// Checks a pupil's screen, once it is built and fitted, in the school face: every control in it
// has the face, and a caption that does not wrap, or is kept on one line, is set a little smaller
// where the face is wider than its box.
void useSchoolFace(QWidget* screen);
// A caption that wraps only where it must: laid out for one line, it keeps it in any face.
void keepOnOneLine(QLabel* label);
// The 明朝 face certificates are printed in: BIZ UD明朝, else the system's own 明朝.
QString minchoFamily();
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

// Asks for a file to save to or open: the path, or nothing when none was chosen or the window
// asking has gone meanwhile (the caller then returns at once).
QString chooseFile(QWidget* parent, const QString& title, const QString& proposed, const QString& filter,
                   QFileDialog::AcceptMode mode);

// The seam for file questions: while one is set, chooseFile asks it (the title, the path
// offered, save or open) instead of showing a dialog. Tests answer with a path, or with nothing.
using FileChooser = std::function<QString(const QString& title, const QString& proposed, QFileDialog::AcceptMode)>;
class ScopedFileChooser
{
public:
    explicit ScopedFileChooser(FileChooser chooser);
    ~ScopedFileChooser();
    ScopedFileChooser(const ScopedFileChooser&) = delete;
    ScopedFileChooser& operator=(const ScopedFileChooser&) = delete;

private:
    FileChooser m_previous;
};

// "CSVに書き出す": asks where to save (offered in the teacher's documents folder as
// "stem_yyyyMMdd.csv"), writes there with write (which returns what went wrong, if anything)
// and tells the teacher how it went.
void exportCsvAskingWhere(QWidget* parent, MessageBox& messages, const QString& stem, const QDate& today,
                          const std::function<std::optional<QString>(const QString& path)>& write);

} // namespace uih
