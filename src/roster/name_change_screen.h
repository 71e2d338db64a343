#pragma once

#include "roster_editor.h"
#include "ui/form.h"
#include "ui/screen_context.h"

#include <QList>
#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;

// "FrmName2": corrects the names and birth years of the first three pupils of the roster.
class NameChangeScreen final : public Form
{
    Q_OBJECT
public:
    explicit NameChangeScreen(ScreenContext& context);

    void saveNames();  // Command1, 変更
    void backToMenu(); // Command2, もどる

protected:
    void formLoad() override;
    void closeRequested() override { backToMenu(); }

private:
    void fill();
    QString rosterPath() const;

    ScreenContext& m_context;
    std::optional<RosterEditor> m_editor;
    QList<QLineEdit*> m_names; // Text1(1..3)
    QList<QLineEdit*> m_years; // Text2(1..3)
    QPushButton* m_change = nullptr;
    QLabel* m_empty = nullptr; // what to do when the roster has nobody to change
};
