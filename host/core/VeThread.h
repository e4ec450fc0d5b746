#pragma once

#include <QString>
#include <QThread>

// A host worker thread with a title and a description the host can show.
// Every VeThread announces itself to the VeThreadRegistry when constructed.
class VeThread : public QThread
{
    Q_OBJECT
public:
    explicit VeThread(QObject* parent = nullptr);
    ~VeThread() override;

    QString GetTitle() const { return m_strTitle; }
    QString GetDescription() const { return m_strDescription; }
    // How far the run has come, from 0 to 1; negative (the default) when it
    // cannot tell. Asked from the host's thread while the run goes on. A run
    // that can be cancelled watches isInterruptionRequested().
    virtual double GetProgress() const { return -1.0; }

Q_SIGNALS:
    void sigUpdateThread();
    void sigProcessMessage(const QString& message);

public Q_SLOTS:
    virtual void slotDeleteMe();

protected:
    QString m_strTitle;
    QString m_strDescription;
};
