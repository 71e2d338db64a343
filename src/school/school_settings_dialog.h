#pragma once

#include "ui/screen_context.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;

// "学校の設定" (teacher's tools): the school's name and code, who signs its certificates, the
// first day of its week and how rankings name other pupils. What may be saved is
// schoolsettings::problems'; the dialog shows them and saves through schoolsettings::save.
class SchoolSettingsDialog final : public QDialog
{
    Q_OBJECT
public:
    SchoolSettingsDialog(ScreenContext& context, QWidget* parent);

    // Saves what was typed; false with the problems shown when it cannot be.
    bool save();

private:
    void showProblems();

    ScreenContext& m_context;
    QLineEdit* m_code = nullptr;
    QLineEdit* m_name = nullptr;
    QLineEdit* m_signer = nullptr;
    QComboBox* m_weekStart = nullptr;
    QComboBox* m_rankingNames = nullptr;
    QLabel* m_problems = nullptr;
};
