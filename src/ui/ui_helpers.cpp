#include "ui_helpers.h"

#include "cell_text_delegate.h"
#include "form.h"
#include "state/message_box.h"

#include <QApplication>
#include <QDate>
#include <QDir>
#include <QFileDialog>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QLibraryInfo>
#include <QListWidget>
#include <QMenuBar>
#include <QPainter>
#include <QProxyStyle>
#include <QScreen>
#include <QStandardPaths>
#include <QTranslator>
#include <QWidget>
#include <algorithm>
#include <cmath>

namespace uih {

namespace {

constexpr char kOneLine[] = "oneLine";
// The school face is read from its regular file alone, bold drawn from it: a second file (the
// face's own bold) would take as much memory again, about 2 MiB, for the titles of a screen.
const QString kOneFile = QStringLiteral("Regular");

QString firstInstalled(std::initializer_list<const char16_t*> names)
{
    const QStringList families = QFontDatabase::families();
    for (const char16_t* name : names) {
        const QString family = QString::fromUtf16(name);
        if (families.contains(family))
            return family;
    }
    return QString();
}

} // namespace

QString uiFontFamily()
{
    // A proportional face for captions and texts: in a fixed-pitch one "O.K." reads "0.K."
    // and "10" looks like "1Ø".
    static const QString family = firstInstalled({u"Meiryo UI", u"MS UI Gothic", u"IPAPGothic", u"IPA Pゴシック",
                                                  u"Noto Sans CJK JP", u"IPAGothic", u"IPAゴシック"});
    return family;
}

namespace {

// Whether a caption meant for one line takes more, or is cut at its box's edge.
bool overflows(const QLabel& label)
{
    if (label.text().isEmpty())
        return false;
    if (!label.wordWrap())
        return label.sizeHint().width() > label.width();
    return label.heightForWidth(label.contentsRect().width()) > 1.5 * QFontMetricsF(label.font()).lineSpacing();
}

} // namespace

QString schoolFaceFamily()
{
    // Proportional faces first: captions sit in boxes laid out for proportional kana.
    static const QString family = [] {
        const QString school = firstInstalled({u"UD デジタル 教科書体 NP-R", u"UD Digi Kyokasho NP-R",
                                               u"UD デジタル 教科書体 N-R", u"UD Digi Kyokasho N-R", u"BIZ UDPGothic",
                                               u"BIZ UDPゴシック", u"BIZ UDGothic", u"BIZ UDゴシック"});
        return school.isEmpty() ? uiFontFamily() : school;
    }();
    return family;
}

void useSchoolFace(QWidget* screen)
{
    const QString family = schoolFaceFamily();
    if (family.isEmpty())
        return;
    const auto check = [&family](QWidget* widget) {
        QFont f = widget->font();
        if (f.family() != family || f.styleName() != kOneFile) {
            f.setFamilies({family});
            f.setStyleName(kOneFile);
            widget->setFont(f);
        }
        // The school face is a little wider than the program's: a caption meant for one line is
        // made just small enough to keep it, never wrapped or cut. (The program's font is not
        // measured here: that alone would load it.)
        auto* label = qobject_cast<QLabel*>(widget);
        if (!label || label->textFormat() == Qt::RichText || (label->wordWrap() && !label->property(kOneLine).toBool()))
            return;
        while (overflows(*label) && f.pointSizeF() > 6) {
            f.setPointSizeF(f.pointSizeF() - 0.5); // sizes are not measured in proportion
            widget->setFont(f);
        }
    };
    check(screen);
    for (QWidget* child : screen->findChildren<QWidget*>())
        if (!child->isWindow() && child->testAttribute(Qt::WA_SetFont))
            check(child);
}

void keepOnOneLine(QLabel* label)
{
    label->setProperty(kOneLine, true);
}

QString minchoFamily()
{
    static const QString family =
        firstInstalled({u"BIZ UDMincho", u"BIZ UD明朝", u"Yu Mincho", u"游明朝", u"MS Mincho", u"ＭＳ 明朝",
                        u"IPAMincho", u"IPA明朝", u"IPAexMincho", u"Noto Serif CJK JP"});
    return family;
}

QFont font(int pointSize, bool bold, const QWidget* on)
{
    QFont f;
    const bool pupils = on && qobject_cast<const Form*>(on->window());
    if (const QString family = pupils ? schoolFaceFamily() : uiFontFamily(); !family.isEmpty())
        f.setFamily(family);
    if (pupils)
        f.setStyleName(kOneFile);
    f.setPointSize(pointSize);
    f.setBold(bold);
    return f;
}

void showLinesInCells(QListWidget* list, int pointSize)
{
    list->setFont(font(pointSize, false, list));
    list->setItemDelegate(new CellTextDelegate(list));
}

namespace {

// The platform's style, but the menu bar's extension arrow is drawn here: the style's own is a
// picture file, and reading the first picture loads every image-format plugin Qt has, which
// the menu paid for at every start.
class ProgramStyle final : public QProxyStyle
{
public:
    using QProxyStyle::QProxyStyle;

    QIcon standardIcon(StandardPixmap icon, const QStyleOption* option, const QWidget* widget) const override
    {
        if (icon != SP_ToolBarHorizontalExtensionButton)
            return QProxyStyle::standardIcon(icon, option, widget);
        QPixmap arrow(16, 16);
        arrow.fill(Qt::transparent);
        QPainter painter(&arrow);
        painter.setPen(QPen(widget ? widget->palette().color(QPalette::ButtonText) : QColor(Qt::black), 1.5));
        for (const int x : {4, 9}) {
            painter.drawLine(x, 4, x + 3, 8);
            painter.drawLine(x + 3, 8, x, 12);
        }
        return QIcon(arrow);
    }
};

} // namespace

void applyProgramLook()
{
    QApplication::setStyle(new ProgramStyle(QApplication::style()->name())); // the style in use, or the platform's
    QApplication::setFont(font(kTextPointSize));
    // Qt's own dialogs (printing, choosing a file) in Japanese too, where the translations are
    // installed; without them they stay in English.
    auto* translator = new QTranslator(qApp);
    if (translator->load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(translator);
    else
        delete translator;
    // Pupils work by keyboard alone: the focused button, list, box and choice carry a thick
    // orange mark that no style leaves out, from the first moment.
    qApp->setStyleSheet(QStringLiteral(
        "QPushButton { color: black; background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #ffffff, "
        "stop:1 #e6e6e6); border: 1px solid #8c8c8c; border-radius: 4px; padding: 2px 8px; }"
        "QPushButton:hover { background: #f3f8ff; }"
        "QPushButton:pressed { background: #d6d6d6; }"
        "QPushButton:disabled { color: #a0a0a0; }"
        "QPushButton:focus { border: 3px solid #ff8f00; }"
        "QListWidget:focus, QComboBox:focus, QLineEdit:focus, QTableView:focus { border: 3px solid #ff8f00; }"
        // The lists draw their own text in the highlighted-text colour on a chosen line; the
        // chosen line's background is then the matching highlight colour on every platform (the
        // Windows style's own is so pale that white text on it could not be read).
        "QListWidget::item:selected { background: palette(highlight); color: palette(highlighted-text); }"
        "QRadioButton, QCheckBox { border: 3px solid transparent; border-radius: 4px; padding: 0px 3px; }"
        "QRadioButton:focus, QCheckBox:focus { border: 3px solid #ff8f00; }"));
}

void fitAndCentre(QWidget* window)
{
    // Room the window manager takes around the window: a title bar and the frame.
    constexpr int kFrameWidth = 16;
    constexpr int kFrameHeight = 40;
    const QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    const QSize design = window->size();
    const double scale = std::min({1.0, double(area.width() - kFrameWidth) / design.width(),
                                   double(area.height() - kFrameHeight) / design.height()});
    if (scale < 1.0) {
        const auto scaled = [scale](const QRect& r) {
            const int left = int(std::lround(r.left() * scale));
            const int top = int(std::lround(r.top() * scale));
            return QRect(left, top, int(std::lround((r.left() + r.width()) * scale)) - left,
                         int(std::lround((r.top() + r.height()) * scale)) - top);
        };
        for (QWidget* child : window->findChildren<QWidget*>()) {
            if (child->isWindow())
                continue;
            child->setGeometry(scaled(child->geometry()));
            // A menu bar shows the program's font; scaled with its bar, its captions still fit
            // (else they hide behind the bar's extension arrow).
            if (child->testAttribute(Qt::WA_SetFont) || qobject_cast<QMenuBar*>(child)) {
                QFont f = child->font();
                f.setPointSizeF(f.pointSizeF() * scale);
                child->setFont(f);
            }
        }
        window->setFixedSize(int(std::lround(design.width() * scale)), int(std::lround(design.height() * scale)));
    }
    const QSize outer = window->size() + QSize(kFrameWidth, kFrameHeight);
    window->move(area.left() + std::max(0, (area.width() - outer.width()) / 2),
                 area.top() + std::max(0, (area.height() - outer.height()) / 2));
}

QLabel* label(QWidget* parent, const QString& name, const QString& text, const QRect& geometry, int pointSize,
              bool bold)
{
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    l->setGeometry(geometry);
    l->setFont(font(pointSize, bold, l));
    return l;
}

QPushButton* button(QWidget* parent, const QString& name, const QString& text, const QRect& geometry, int pointSize)
{
    auto* b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setGeometry(geometry);
    b->setFont(font(pointSize, false, b));
    return b;
}

QWidget* waitPanel(QWidget* parent, const QString& panelName, const QString& labelName, const QColor& colour,
                   const QString& text)
{
    auto* panel = new QWidget(parent);
    panel->setObjectName(panelName);
    const QSize area = parent->size();
    const QSize size(std::min(500, area.width()), std::min(140, area.height()));
    panel->setGeometry(QRect(QPoint((area.width() - size.width()) / 2, (area.height() - size.height()) / 2), size));
    setBackground(panel, colour);
    auto* caption = label(panel, labelName, text, QRect(QPoint(0, 0), size), 20, true);
    caption->setAlignment(Qt::AlignCenter);
    caption->setStyleSheet(QStringLiteral("color: white"));
    panel->hide();
    return panel;
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

QString documentsFolder()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QDir(documents).exists() ? documents : QDir::homePath();
}

namespace {

FileChooser& fileChooser()
{
    static FileChooser chooser;
    return chooser;
}

} // namespace

ScopedFileChooser::ScopedFileChooser(FileChooser chooser) : m_previous(std::exchange(fileChooser(), std::move(chooser)))
{}

ScopedFileChooser::~ScopedFileChooser()
{
    fileChooser() = std::move(m_previous);
}

QString chooseFile(QWidget* parent, const QString& title, const QString& proposed, const QString& filter,
                   QFileDialog::AcceptMode mode)
{
    if (fileChooser())
        return fileChooser()(title, proposed, mode);
    Modal<QFileDialog> dialog(parent, title, proposed, filter);
    dialog->setAcceptMode(mode);
    dialog->setFileMode(mode == QFileDialog::AcceptSave ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (mode == QFileDialog::AcceptSave)
        dialog->selectFile(proposed);
    if (!dialog.accepted())
        return QString();
    return dialog->selectedFiles().value(0);
}

void exportCsvAskingWhere(QWidget* parent, MessageBox& messages, const QString& stem, const QDate& today,
                          const std::function<std::optional<QString>(const QString& path)>& write)
{
    const QString title = QStringLiteral("CSVに書き出す");
    const QString path =
        chooseFile(parent, title,
                   QDir(documentsFolder())
                       .filePath(QStringLiteral("%1_%2.csv").arg(stem, today.toString(QStringLiteral("yyyyMMdd")))),
                   QStringLiteral("CSV (*.csv)"), QFileDialog::AcceptSave);
    if (path.isEmpty())
        return; // not chosen, or the window asking has gone
    if (const auto error = write(path))
        messages.show(title, *error, MessageBox::Icon::Warning);
    else
        messages.show(title, QStringLiteral("「%1」に書き出しました。").arg(path), MessageBox::Icon::Information);
}

} // namespace uih
