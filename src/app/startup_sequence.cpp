#include "startup_sequence.h"

#include "help/help_addresses.h"
#include "platform/platform.h"
#include "records/results_recorder.h"
#include "school/school_settings.h"
#include "sound/sound_table.h"
#include "startup/course_catalogue.h"
#include "startup/settings_loader.h"
#include "state/message_box.h"
#include "state/random_source.h"
#include "state/shared_state.h"
#include "teacher/teacher_lock.h"
#include "ui/navigator.h"
#include "ui/screen_context.h"
#include "ui/ui_helpers.h"

#include <QColor>
#include <QFileInfo>

std::optional<int> startProgram(ScreenContext& context, const QString& programDir)
{
    uih::applyProgramLook();
    context.services.random.seedFromClock();
    // Two copies on one installation would each think they own the results being shown.
    if (!context.platform.instance.claim()) {
        context.services.messages.show(
            QStringLiteral("注意"),
            QStringLiteral("このプログラムと同じプログラムがすでに起動され、完全に終了されていません。"
                           "同じプログラムを完全に終了させてから実行してください。"),
            MessageBox::Icon::Critical);
        return 0;
    }
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
    // The school's own settings: defaults when the file is missing or cannot be used, which the
    // teacher's tools say.
    state.school = schoolsettings::read(state.folders.sharedFolder).settings;
    // Settings a pupil deleted or damaged never show more than the school chose: with a teacher's
    // password set, the rankings then hide the other pupils' names until the teacher saves the
    // settings again.
    const bool settingsLost =
        !state.school.problem.isEmpty() || !QFileInfo::exists(state.folders.sharedFolder + schoolsettings::fileName());
    if (settingsLost && teacherlock::state(teacherlock::placesOf(state.folders)).status != teacherlock::Status::None)
        state.school.rankingNames = RankingNames::SeatNumbers;
    // What an earlier run could not record goes into the results files before anything is
    // read from them.
    ResultsRecorder(context.services, context.pause).deliverWaiting();
    state.catalogue.helpAddresses = HelpAddresses::load(state.folders.programFolder).addresses;
    context.navigator.showMenu();
    return std::nullopt;
}
