#pragma once

#include <QString>

// Cells of the CSV files the program writes for a spreadsheet.
namespace csvcell {

// A field as RFC 4180 writes it.
QString quoted(const QString& field);
// A text field: one a spreadsheet would take for a formula (starting with "=", "+", "-", "@",
// their full-width forms, a tab or a carriage return) is written with a leading "'", so that it
// stays text.
QString text(const QString& text);

} // namespace csvcell
