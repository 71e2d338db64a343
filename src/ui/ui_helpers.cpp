#include "ui_helpers.h"

#include <QFontDatabase>
#include <QWidget>

namespace uih {

QFont font(int pointSize, bool bold)
{
    QFont f;
    f.setPointSize(pointSize);
    f.setBold(bold);
    return f;
}

QFont fixedFont(int pointSize)
{
    const QStringList families = QFontDatabase::families();
    QFont f;
    for (const QString& name :
         {QStringLiteral("ＭＳ ゴシック"), QStringLiteral("MS Gothic"), QStringLiteral("IPAGothic"),
          QStringLiteral("IPAゴシック"), QStringLiteral("Noto Sans Mono CJK JP")}) {
        if (families.contains(name)) {
            f = QFont(name);
            break;
        }
    }
    f.setStyleHint(QFont::TypeWriter);
    f.setFixedPitch(true);
    f.setPointSize(pointSize);
    return f;
}

QLabel* label(QWidget* parent, const QString& name, const QString& text, const QRect& geometry, int pointSize,
              bool bold)
{
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    l->setGeometry(geometry);
    l->setFont(font(pointSize, bold));
    return l;
}

QPushButton* button(QWidget* parent, const QString& name, const QString& text, const QRect& geometry, int pointSize)
{
    auto* b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setGeometry(geometry);
    b->setFont(font(pointSize));
    return b;
}

void setBackground(QWidget* widget, const QColor& colour)
{
    QPalette pal = widget->palette();
    pal.setColor(QPalette::Window, colour);
    widget->setPalette(pal);
    widget->setAutoFillBackground(true);
}

QColor accent(qint32 colour)
{
    return QColor::fromRgb(QRgb(colour));
}

} // namespace uih
