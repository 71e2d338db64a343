#pragma once

#include "state/message_box.h"

#include <cstdlib>

// What the benchmarks put in place of message boxes and the program's end: nothing is shown,
// and a fatal error ends the benchmark at once.
class NoBox final : public MessageBox
{
public:
    void show(const QString&, const QString&, Icon) override {}
    bool ask(const QString&, const QString&) override { return false; }
    int choose(const QString&, const QString&, const QStringList& buttons) override { return int(buttons.size()) - 1; }
    std::unique_ptr<Waiting> waiting(const QString&, const QString&) override { return nullptr; }
};

class NoEnd final : public ProgramEnd
{
public:
    void endProgram(int code) override { std::exit(code); }
};
