// The files last read or written, one bounded list per kind, kept between sessions.
#include "ui/recent_files.hpp"

#include <QFileInfo>
#include <QSettings>

namespace emforce {

namespace {

QSettings settings() { return QSettings("emforce", "emforce"); }

}  // namespace

QStringList RecentFiles::files() const { return settings().value(m_key).toStringList(); }

void RecentFiles::add(const QString& path) const {
    const QString absolute = QFileInfo(path).absoluteFilePath();
    QStringList list = files();
    list.removeAll(absolute);
    list.prepend(absolute);
    keep(list.mid(0, kMaxFiles));
}

void RecentFiles::remove(const QString& path) const {
    QStringList list = files();
    list.removeAll(path);
    keep(list);
}

QStringList RecentFiles::pruneMissing() const {
    QStringList kept, missing;
    for (const QString& file : files()) (QFileInfo(file).isFile() ? kept : missing) << file;
    if (!missing.isEmpty()) keep(kept);
    return missing;
}

void RecentFiles::keep(const QStringList& files) const { settings().setValue(m_key, files); }

}  // namespace emforce
