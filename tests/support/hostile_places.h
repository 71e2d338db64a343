#pragma once

#include <QString>
#include <memory>

// Folders that refuse what the program tries, made with what this machine allows: a private
// tmpfs where mounting is allowed (root in a private mount namespace), otherwise the means an
// ordinary user has. Each says how it was made, for the test's output.

// A folder in which no file can be created or written.
class ReadOnlyFolder
{
public:
    explicit ReadOnlyFolder(const QString& path);
    ~ReadOnlyFolder();
    ReadOnlyFolder(const ReadOnlyFolder&) = delete;
    ReadOnlyFolder& operator=(const ReadOnlyFolder&) = delete;

    // False where nothing here can make a folder read-only (root without the right to mount:
    // permission bits do not stop root); the denial is then tested where it is decided.
    bool ready() const { return m_how != How::None; }
    // The reason the system gives: a read-only medium, or no permission.
    bool readOnlyMedium() const { return m_how == How::Mounted; }

private:
    enum class How
    {
        None,
        Mounted,
        Permissions
    };
    QString m_path;
    How m_how = How::None;
};

// A folder with no room left once fill() is called: a small tmpfs filled up, or a limit on
// the size of the files the process writes.
class FullFolder
{
public:
    explicit FullFolder(const QString& path);
    ~FullFolder();
    FullFolder(const FullFolder&) = delete;
    FullFolder& operator=(const FullFolder&) = delete;

    // False where neither is possible (Windows).
    bool ready() const { return m_ready; }
    // Takes the rest of the room, once the files the test needs are in place.
    void fill();

private:
    QString m_path;
    bool m_ready = false;
    bool m_mounted = false;
    bool m_limited = false;
    unsigned long long m_oldLimit = 0;
};

// A folder that refuses writes the way a school's share does once refuse() is called: full,
// read-only, or gone altogether. The files the test puts in before then stay as they were, so
// what a writer left can be compared byte for byte.
class RefusingFolder
{
public:
    enum class Way
    {
        Full,
        ReadOnly,
        Gone
    };
    RefusingFolder(const QString& path, Way way);
    ~RefusingFolder();
    RefusingFolder(const RefusingFolder&) = delete;
    RefusingFolder& operator=(const RefusingFolder&) = delete;

    // False where this way cannot be made here (the test is skipped, saying so).
    bool ready() const { return m_ready; }
    void refuse();

private:
    QString m_path;
    Way m_way;
    bool m_ready = false;
    bool m_mounted = false;
    std::unique_ptr<FullFolder> m_full;
};
