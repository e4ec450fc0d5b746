#include "VeSurveyCheckRunner.h"

#include "VeTaskSPSFilesLoaderParam.h"

#include <QCoreApplication>
#include <QThread>

#include <cmath>

namespace {
// The kinds the map's findings layer shows: points that are off, twice, or
// merged by the numbering.
bool onFindingsLayer(const SPSCheckFinding& f)
{
    switch (f.kind) {
    case SPSCheckFinding::Outlier:
    case SPSCheckFinding::Conflict:
    case SPSCheckFinding::Duplicate:
    case SPSCheckFinding::SharedNumber:
        return f.hasPosition;
    default:
        return false;
    }
}
} // namespace

VeSurveyCheckRunner::VeSurveyCheckRunner(QObject* parent) : QObject(parent) {}

VeSurveyCheckRunner::~VeSurveyCheckRunner()
{
    StopAll();
    for (const Job& job : std::as_const(m_Jobs))
        job.thread->wait();
    // The threads are children; their finished notices are no longer wanted.
    for (const Job& job : std::as_const(m_Jobs))
        disconnect(job.thread, nullptr, this, nullptr);
}

void VeSurveyCheckResult::CountFindings()
{
    counts.fill(0);
    fileCounts.assign(findings.Files().size(), 0);
    lineFactor = 0;
    for (const SPSCheckFinding& f : findings) {
        ++counts[size_t(f.kind)];
        ++fileCounts[f.file];
        if (f.kind == SPSCheckFinding::SharedNumber)
            lineFactor = qMax(lineFactor, findings.LineFactor(f));
    }
}

void VeSurveyCheckRunner::Start(qint64 key, const VeTaskSPSFilesLoaderParam& param,
                                const SPSNumberingSettings& numbering,
                                std::shared_ptr<SPSSurveyCheck> prepared)
{
    if (!m_bAccepting)
        return;
    // An older check of the same geometry is of no use any more.
    for (const Job& job : std::as_const(m_Jobs))
        if (job.key == key)
            job.check->Stop();

    const quint64 generation = ++m_nGeneration;
    m_LatestGeneration.insert(key, generation);
    // Copies the record.
    auto check =
        prepared ? std::move(prepared) : std::make_shared<SPSSurveyCheck>(param, numbering);
    if (m_TablesRead)
        check->SetTablesRead(
            [tablesRead = m_TablesRead, key](auto tables) { tablesRead(key, std::move(tables)); });
    auto result = std::make_shared<VeSurveyCheckResult>();
    auto loaded = std::make_shared<VeTaskSPSFilesLoaderParam>();
    loaded->CopyFrom(param);
    loaded->Numbering = numbering;
    result->loaded = std::move(loaded);
    auto progress = std::make_shared<std::atomic<int>>(0);
    check->SetProgress([progress](double share) {
        progress->store(int(share * 1000.0), std::memory_order_relaxed);
    });
    QThread* thread = QThread::create([check, result]() {
        QString error;
        result->ok = check->Run(&error);
        result->pointsFromLoad = check->TookLoadRows();
        result->error = error;
        result->findings = check->TakeFindings();
        result->CountFindings();
        auto marks = std::make_shared<std::vector<QPointF>>();
        for (const SPSCheckFinding& f : result->findings) {
            if (onFindingsLayer(f) && std::isfinite(f.x) && std::isfinite(f.y))
                marks->emplace_back(f.x, f.y);
        }
        result->layerMarks = std::move(marks);
    });
    thread->setParent(this);
    thread->setObjectName(QStringLiteral("SurveyCheck"));
    // Queued: finished leaves from the worker; the result is complete by then.
    connect(
        thread, &QThread::finished, this,
        [this, thread, key, generation, result]() {
            OnJobFinished(thread, key, generation, result);
        },
        Qt::QueuedConnection);
    m_Jobs.append(Job{thread, check, key, progress});
    thread->start(QThread::LowPriority);
    Q_EMIT sigStarted(key);
    Q_EMIT sigRunningChanged();
}

void VeSurveyCheckRunner::OnJobFinished(QThread* thread, qint64 key, quint64 generation,
                                        const std::shared_ptr<const VeSurveyCheckResult>& result)
{
    for (qsizetype i = 0; i < m_Jobs.size(); ++i)
        if (m_Jobs[i].thread == thread) {
            m_Jobs.removeAt(i);
            break;
        }
    thread->wait();
    thread->deleteLater();
    if (m_LatestGeneration.value(key) == generation) {
        m_LatestGeneration.remove(key);
        Q_EMIT sigFinished(key, result);
    }
    Q_EMIT sigRunningChanged();
}

bool VeSurveyCheckRunner::IsRunning(qint64 key) const
{
    return m_LatestGeneration.contains(key);
}

double VeSurveyCheckRunner::Progress() const
{
    int least = -1;
    for (const Job& job : m_Jobs) {
        const int p = job.progress->load(std::memory_order_relaxed);
        least = least < 0 ? p : qMin(least, p);
    }
    return least < 0 ? -1.0 : least / 1000.0;
}

void VeSurveyCheckRunner::StopAll()
{
    for (const Job& job : std::as_const(m_Jobs))
        job.check->Stop();
}

void VeSurveyCheckRunner::WaitForAll()
{
    for (const Job& job : QList<Job>(m_Jobs))
        job.thread->wait();
    QCoreApplication::sendPostedEvents(this);
}
