#include "csv_cell.h"

namespace csvcell {

QString quoted(const QString& field)
{
    if (!field.contains(u',') && !field.contains(u'"') && !field.contains(u'\n') && !field.contains(u'\r'))
        return field;
    QString escaped = field;
    escaped.replace(QStringLiteral("\""), QStringLiteral("\"\""));
    return u'"' + escaped + u'"';
}

QString text(const QString& text)
{
    // Spreadsheets in Japanese locales take the full-width signs for formula signs too.
    static const QString formulaStarts = QStringLiteral("=+-@\t\r＝＋－＠");
    const bool formula = !text.isEmpty() && formulaStarts.contains(text.front());
    return quoted(formula ? u'\'' + text : text);
}

} // namespace csvcell
