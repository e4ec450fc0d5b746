#pragma once

#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>
#include <QStringList>

class VeHostMainWindow;
class VeObject;
class VeThread;

// What "spshost --load" does: the user's road through the seismic survey
// plug-in, taken for them. It chooses Tasks > "SPS loader" with no node
// selected (so the load makes a new geometry), fills the "Files" page of the
// task's dialog with the files (source, receiver, then the optional relation;
// made absolute) and presses OK. The load then runs as any other; a page that
// refuses a file keeps the dialog open for the user, as OK by hand would.
// False, with the reason, when the task or its dialog is not there, or while
// a load runs (one runs at a time).
bool StartSPSLoaderTask(VeHostMainWindow* window, const QStringList& files,
                        QString* errorText = nullptr);

// One load taken that road, followed to its end and then to the end of the
// survey check of the geometry it made and its fold, for a caller that acts on the outcome
// (a picture of what the load brought). It learns of both as the window does,
// through the thread registry and the window's check runner.
class VeSPSLoadScript : public QObject
{
    Q_OBJECT
public:
    explicit VeSPSLoadScript(VeHostMainWindow* window, QObject* parent = nullptr);

    // Starts the load with StartSPSLoaderTask. False, with the reason, when no
    // load started: no task or dialog, or the dialog refused the files (it
    // stays open for the user then, and the reason is what it logged).
    bool Start(const QStringList& files, QString* errorText = nullptr);

Q_SIGNALS:
    // Once for a started load, on the window's thread: ok when the load made
    // its geometry and the geometry's check and fold have ended; otherwise the reason
    // the load failed, from the warnings and errors it logged.
    void sigFinished(bool ok, const QString& reason);

private:
    void OnObjectCreated(VeThread* thread, VeObject* object);
    void OnThreadFinished(VeThread* thread);
    void Settle();
    QString LoggedProblems() const;

    QPointer<VeHostMainWindow> m_pWindow;
    // The load's threads, compared only: a finished one may be gone.
    QSet<VeThread*> m_Running;
    QPointer<VeObject> m_pGeometry;
    qint64 m_nGeometryID = 0;
    qsizetype m_nLogStart = 0;
    bool m_bLoadEnded = false;
    bool m_bFinished = false;
};
