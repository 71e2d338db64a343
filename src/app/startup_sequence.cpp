#include "startup_sequence.h"

#include "help/help_addresses.h"
#include "sound/sound_table.h"
#include "startup/course_catalogue.h"
#include "startup/settings_loader.h"
#include "state/message_box.h"
#include "state/shared_state.h"
#include "ui/navigator.h"
#include "ui/screen_context.h"
#include "ui/ui_helpers.h"

#include <QColor>

int startProgram(ScreenContext& context, const QString& programDir)
{
    uih::applyProgramLook();
    SharedState& state = context.services.state;
    state.catalogue.accentColour = qint32(qRgb(0, 128, 128));
    auto failure = settings::load(programDir, state);
    if (!failure)
        failure = soundtable::load(state);
    if (failure) {
        context.services.messages.show(QStringLiteral("起動エラー"), failure->message(), MessageBox::Icon::Critical);
        return 1;
    }
    catalogue::fill(state.catalogue);
    state.catalogue.helpAddresses = HelpAddresses::load(state.folders.programFolder).addresses;
    context.navigator.showMenu();
    return 0;
}
