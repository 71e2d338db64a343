#include "namesel_standin.h"

#include "state/message_box.h"
#include "state/shared_state.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

NameselStandIn::NameselStandIn(AppContext& context) : Form(QStringLiteral("namesel")), m_context(context) {}

void NameselStandIn::formLoad()
{
    const SharedState& state = m_context.services.state;
    setWindowTitle(state.catalogue.courseTitle);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor::fromRgb(QRgb(state.catalogue.accentColour)));
    pal.setColor(QPalette::WindowText, Qt::white);
    setPalette(pal);
    setAutoFillBackground(true);

    auto* title = new QLabel(state.catalogue.courseTitle, this);
    title->setObjectName(QStringLiteral("Label4"));
    QFont big = title->font();
    big.setPointSize(48);
    title->setFont(big);
    auto* school = new QLabel(state.organisation.schoolName, this);
    school->setObjectName(QStringLiteral("SchoolLabel"));
    auto* quit = new QPushButton(QStringLiteral("終了"), this);
    quit->setObjectName(QStringLiteral("Command7"));
    connect(quit, &QPushButton::clicked, this, [this] { m_context.services.programEnd.endProgram(0); });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(title, 0, Qt::AlignCenter);
    layout->addWidget(school, 0, Qt::AlignCenter);
    layout->addWidget(quit, 0, Qt::AlignCenter);
    resize(900, 600);
}
