#pragma once

#include <QString>

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
