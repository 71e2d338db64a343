#include "command_line.h"
#include "navigation.h"
#include "platform/native.h"
#include "platform/pause.h"
#include "platform/platform.h"
#include "records/results_recorder.h"
#include "sound/sdl_audio_output.h"
#include "sound/sound_players.h"
#include "startup_sequence.h"
#include "state/clock.h"
#include "state/random_source.h"
#include "state/shared_state.h"
#include "tool_module_loader.h"
#include "ui/form_registry.h"
#include "ui/qt_message_box.h"
#include "ui/screen_context.h"

#include <QApplication>
#include <QDir>
#ifdef __GLIBC__
#include <malloc.h>
#endif
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

void noScreenHandler(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtFatalMsg && message.contains(QStringLiteral("platform plugin"))) {
        native::attachTerminal();
        std::fprintf(stderr,
                     "約数早押しドリル: 画面に接続できないため起動できません。"
                     "デスクトップの中から起動してください。\n（%s）\n",
                     qUtf8Printable(message.section(u'\n', 0, 0)));
        std::fflush(stderr);
        std::_Exit(1);
    }
    qInstallMessageHandler(nullptr);
    qt_message_output(type, context, message);
    qInstallMessageHandler(noScreenHandler);
}

} // namespace

int main(int argc, char* argv[])
{
#ifdef __GLIBC__
    // Large blocks that live only while the results are read (a megabyte or two) go back to the
    // system when they are freed, instead of raising the threshold and staying in the heap.
    mallopt(M_MMAP_THRESHOLD, 128 * 1024);
#endif
    if (const auto exitCode = runCommandLine(argc, argv))
        return *exitCode;
    // Without a screen to show the drill on, Qt would abort: say why and end.
    qInstallMessageHandler(noScreenHandler);
    QApplication app(argc, argv);
    qInstallMessageHandler(nullptr);
    // The program ends when its last screen is unloaded, whatever unloaded it; a message box
    // closed between two screens must not end it.
    app.setQuitOnLastWindowClosed(false);

    auto state = std::make_unique<SharedState>();
    SystemClock clock;
    SystemRandom random;
    QtMessageBox messages;
    FormRegistry forms;
    forms.setWhenEmpty([] { QCoreApplication::exit(0); });
    QtProgramEnd programEnd(forms);
    const Services services{*state, clock, random, messages, programEnd};
    SdlAudioOutput audio;
    SoundPlayers sounds(services, audio);
    EventLoopPause pause(clock);
    // Every path is taken from the folder of the executable itself.
    const QString programDir = QDir::toNativeSeparators(QCoreApplication::applicationDirPath());
    ProcessLauncher launcher;
    const auto instance = makeSingleInstance(programDir);
    Platform platform{launcher, *instance};
    ToolModuleLoader toolModule(QCoreApplication::applicationDirPath());
    ScreenNavigation navigation(forms, [&toolModule](QString* error) {
        ToolWindows* windows = toolModule.windows();
        *error = toolModule.error();
        return windows;
    });
    ScreenContext context{services, sounds, pause, platform, navigation};
    navigation.attach(context);

    if (const auto exitCode = startProgram(context, programDir))
        return *exitCode;
    // The program may have been ended before its event loop started (an error while the menu
    // read the results).
    const int exitCode = programEnd.exitCode() ? *programEnd.exitCode() : app.exec();
    // Records a full disk kept in memory get one more try before they would be lost.
    ResultsRecorder(services, pause).deliverHeld();
    // The screens unloaded last go now, before what they use is destroyed.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return exitCode;
}
