#pragma once

#include <QString>
#include <functional>

// Breaks the lines of a message that are wider than maxWidth, the way Japanese text is broken
// by hand: after a mark that ends a phrase (、。）」 and the like) or a blank, before an opening
// bracket, never inside a run of Latin letters and digits (a file name, "Permission"), and never
// so that a line starts with a closing mark. Only a phrase longer than a whole line is cut
// where it must be. Existing line breaks stay; CR LF becomes LF.
QString breakJapaneseLines(const QString& text, int maxWidth, const std::function<int(QStringView)>& width);
