#pragma once

#include <QString>
#include <memory>

// Tells whether another copy of this program is running. The claim is held by the operating
// system for as long as the process lives, so a copy that crashed does not block the next start.
class SingleInstance
{
public:
    virtual ~SingleInstance() = default;
    // True when this is the only running copy; the claim then lasts as long as this object.
    virtual bool claim() = 0;
};

// One claim per program, named after the folder of the executable.
std::unique_ptr<SingleInstance> makeSingleInstance(const QString& programDir);

// The name of the claim: the same for every start from the same folder.
QString instanceKey(const QString& programDir);
