#include "command_line.h"

#include "platform/native.h"
#include "results_check_command.h"

#include <QByteArray>
#include <cstdio>
#include <cstring>

std::optional<int> runCommandLine(int argc, char* argv[])
{
    if (argc < 2)
        return std::nullopt;
    const char* option = argv[1];
    const bool help = std::strcmp(option, "--help") == 0 || std::strcmp(option, "-h") == 0;
    const bool version = std::strcmp(option, "--version") == 0;
    const bool check = std::strcmp(option, "--check-results") == 0;
    const bool import = std::strcmp(option, "--import-roster") == 0;
    const bool undo = std::strcmp(option, "--undo-import") == 0;
    const bool reset = std::strcmp(option, "--reset-teacher-password") == 0;
    if (!help && !version && !check && !import && !undo && !reset)
        return std::nullopt; // Qt's own options (-platform ...) go on to the application
    native::attachTerminal();
    if (check)
        return runResultsCheck(argc, argv);
    if (import)
        return runRosterImport(argc, argv);
    if (undo)
        return runImportUndo(argc, argv);
    if (reset)
        return runPasswordReset(argc, argv);
    if (version) {
        std::printf("約数早押しドリル (divisor-drill) %s\n", DRILL_VERSION);
        return 0;
    }
    std::printf(
        "使い方: divisor-drill [オプション]\n"
        "  (なし)             ドリルを始めます。ファイルはプログラムのフォルダから読みます。\n"
        "  --check-results    成績ファイルを調べて、見つかったことを表示します（何も書きません）。\n"
        "                     終了コード 0: 問題なし  1: 問題あり  2: 読めないファイルがある\n"
        "  --import-roster ファイル [--dry-run] [--skip-problems] [--numbering 出席番号]\n"
        "                  [--column 見出し=意味 ...]\n"
        "                     名簿のCSVファイルを名簿に読み込みます。読み込む前に、一行ずつ何をするかを\n"
        "                     表示します。--dry-run では何も書きません。問題のある行があると何も\n"
        "                     書きません（--skip-problems では問題のない行だけ読み込みます）。\n"
        "                     --numbering 出席番号: 新しい生徒の番号を学年・組・出席番号から作ります。\n"
        "                     --column: 列の意味を決めます（例 --column 番号=生徒番号、--column 備考=読まない）。\n"
        "                     終了コード 0: 読み込んだ（または何もすることがない）\n"
        "                     1: 問題のある行があるため何も書かなかった  2: ファイルを読み書きできない\n"
        "  --undo-import      最後に読み込んだ名簿のCSVを取り消し、読み込む前の名簿に戻します\n"
        "                     （そのあとで名簿が変わっていれば戻しません）。終了コード 0: 戻した\n"
        "                     1: 戻せない（理由を表示）  2: ファイルを読み書きできない\n"
        "  --reset-teacher-password\n"
        "                     先生用パスワードをなくします（忘れたとき、パスワードのファイルがこわれた\n"
        "                     ときの、管理者のための戻し方です）。まちがえた回数の記録も消します。\n"
        "                     終了コード 0: なくした  2: ファイルを消せない\n"
        "  --version          版を表示します。\n"
        "  --help             この説明を表示します。\n");
    return 0;
}
