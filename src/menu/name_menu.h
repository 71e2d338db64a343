#pragma once

#include "name_list.h"
#include "state/services.h"

#include <QList>
#include <QStringList>

class Pause;

// What the menu decides: the roster listed with each pupil's figures, in the list's order and
// narrowed by the grade filter, the problems the teacher is told about, and the pupil chosen.
// The menu screen shows its rows and forwards clicks and keys to it.
class NameMenu
{
public:
    static constexpr int kMaxListed = 10000; // rows the list holds at most
    static constexpr int kDefaultListMode = 1;

    NameMenu(Services services, Pause& pause) : m_services(services), m_pause(pause) {}

    // 名簿表示: recomputes the statistics, reads the roster and rebuilds the rows. A roster that
    // cannot be read is reported once per start, lines that cannot be listed once per menu.
    // False when the program has been ended (the results file could not be read).
    bool list(const QString& gradeFilter);
    void setListMode(int listMode) { m_listMode = listMode; }
    int listMode() const { return m_listMode; }

    // A new installation: the roster is missing or holds nobody. The menu then says so, with the
    // roster's full path, and offers to make it.
    bool rosterEmpty() const { return m_rosterEmpty; }
    QString emptyRosterText() const;

    // The pupils' rows in list order; list row 0 is the "－－－－－－" row above them.
    const QList<namelist::Row>& rows() const { return m_rows; }

    // A click on list row `row` (a double click takes the whole name column): the text shown as
    // the choice, or nothing for row 0.
    void click(int row, bool doubleClick = false);
    QString choiceText() const;
    bool hasChoice() const { return m_chosen >= 0; }

    // Makes the chosen pupil the current one, with the time they started. False without a choice.
    bool confirm();
    // "先生用": the teacher, who may have no line in the roster, becomes the current user: the
    // board then shows the teacher's tools and no pupil's figures.
    static void enterAsTeacher(Services services);

    // The kana jump: the list row (from 1) of the first pupil, in the list's order, whose reading
    // starts with the kana typed (its plain form: が finds か), else with a kana of its row of the
    // kana table; 0 when there is none. The reading is the school's (生徒用名簿よみ.txt), else the
    // name when it is written in kana.
    int rowForKana(QChar typed) const;
    // The same for a row of the kana table (0 あ .. 9 わ).
    int rowForKanaRow(int kanaRow) const;

private:
    Services m_services;
    Pause& m_pause;
    int m_listMode = kDefaultListMode;
    QList<namelist::Row> m_rows;
    QString m_initials; // the plain first kana of each row's reading, 0 where there is none
    int m_chosen = -1;  // index into m_rows
    bool m_chosenWhole = false;
    bool m_problemsShown = false;
    bool m_rosterEmpty = false;
};
