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

Q_SIGNALS:
    void sigUpdateThread();
    void sigProcessMessage(const QString& message);

public Q_SLOTS:
    virtual void slotDeleteMe();

protected:
    QString m_strTitle;
    QString m_strDescription;
};
