#pragma once

// A temporary folder of the test's own, which its tables write as "<dir>":
// arguments, paths and expected texts name it so, and are expanded (or the
// output hidden back) here.

#include "SPSTestRows.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace SPSTest {

class TestFolder
{
public:
    static constexpr char kMark[] = "<dir>";

    bool IsValid() const { return m_Dir.isValid(); }
    QString Path() const { return m_Dir.path(); }
    QString FilePath(const QString& name) const { return m_Dir.filePath(name); }
    // Writes (or replaces) a file in the folder.
    bool Put(const QString& name, const QByteArray& bytes) const
    {
        return WriteFile(FilePath(name), bytes);
    }

    // "<dir>" replaced by the folder's path.
    QString Expand(QString text) const { return text.replace(QLatin1String(kMark), Path()); }
    QByteArray Expand(QByteArray bytes) const { return bytes.replace(kMark, Path().toUtf8()); }
    QStringList Expand(QStringList texts) const
    {
        for (QString& text : texts)
            text = Expand(text);
        return texts;
    }
    // The folder's path replaced by "<dir>", as the tables write it.
    QString Hide(QString text) const { return text.replace(Path(), QLatin1String(kMark)); }
    QByteArray Hide(QByteArray bytes) const { return bytes.replace(Path().toUtf8(), kMark); }

private:
    QTemporaryDir m_Dir;
};

} // namespace SPSTest
