#pragma once

#include "state/shared_state.h"

// The course catalogue and the grade helpers shared by the board and its ranking lists.
namespace catalogue {

// Fills the five levels and the further range courses, each marked as defined.
void fill(Catalogue& catalogue);

// "①".."⑥" for elementary grades 1..6, "Ⅰ".."Ⅲ" for junior high 7..9, else a full-width space.
QString gradeMark(int gradeIndex);

// The twelve choices of the grade filters on the menu and the board, "全学年" first.
const QStringList& gradeChoices();

// 1 when the grade index belongs to the group named by a grade filter text, else 0.
int gradeFilterMatch(int gradeIndex, const QString& filterText);

} // namespace catalogue
