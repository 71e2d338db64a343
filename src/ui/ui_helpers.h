#pragma once

#include <QColor>
#include <QFont>
#include <QLabel>
#include <QPushButton>
#include <QString>

class QWidget;

// Small helpers for building the forms: controls carry their form names as objectName.
namespace uih {

QLabel* label(QWidget* parent, const QString& name, const QString& text, const QRect& geometry, int pointSize = 12,
              bool bold = false);
QPushButton* button(QWidget* parent, const QString& name, const QString& text, const QRect& geometry,
                    int pointSize = 12);
void setBackground(QWidget* widget, const QColor& colour);
QColor accent(qint32 colour);
// The program's font for Japanese text.
QFont font(int pointSize, bool bold = false);
// Fixed-pitch Japanese font, in which full-width characters take two columns.
QFont fixedFont(int pointSize);

} // namespace uih
