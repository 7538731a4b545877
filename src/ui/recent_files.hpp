// The files last read or written, one bounded list per kind, kept between sessions.
#pragma once

#include <QString>
#include <QStringList>

namespace emforce {

/// A list of absolute file paths, newest first, at most kMaxFiles, kept in the program's
/// settings under its key.
class RecentFiles {
public:
    static constexpr int kMaxFiles = 8;

    /// `key` names the list in the settings ("recentFiles/parameters").
    explicit RecentFiles(QString key) : m_key(std::move(key)) {}

    /// The list as the settings hold it.
    [[nodiscard]] QStringList files() const;
    /// Puts a file first (as its absolute path), once, dropping the oldest beyond kMaxFiles.
    void add(const QString& path) const;
    /// Takes a file off the list.
    void remove(const QString& path) const;
    /// Takes every file that no longer exists off the list; returns them.
    QStringList pruneMissing() const;

private:
    void keep(const QStringList& files) const;

    QString m_key;
};

}  // namespace emforce
