#pragma once

#include "ui/app_context.h"
#include "ui/form.h"

// The front door of the program until the name selection menu is built: it shows the
// program's title and school so that a start-up can be seen to have worked.
class NameselStandIn final : public Form
{
    Q_OBJECT
public:
    explicit NameselStandIn(AppContext& context);

protected:
    void formLoad() override;

private:
    AppContext& m_context;
};
