#include "reading_source.h"

#include "db_error.h"

#include <QProcessEnvironment>
#include <QSqlQuery>
#include <QThread>

namespace {
constexpr int kRetryAfterMs = 30000;
constexpr int kCatchUpMs = 2000;
constexpr int kPollMs = 20;
} // namespace

ReadingSource::ReadingSource(Database& main) : main_(main), server_(configuredServer()) {}

std::optional<std::pair<QString, int>> ReadingSource::configuredServer()
{
    const QString value = qEnvironmentVariable("TABEL_REPORT_SERVER").trimmed();
    if (value.isEmpty())
        return std::nullopt;
    const int colon = value.lastIndexOf(u':');
    if (colon < 0)
        return std::pair{value, 5432};
    bool ok = false;
    const int port = value.mid(colon + 1).toInt(&ok);
    if (!ok || port <= 0 || port > 65535 || colon == 0) {
        qWarning("TABEL_REPORT_SERVER is not host[:port] (%s): the reports read from the main server",
                 qPrintable(value));
        return std::nullopt;
    }
    return std::pair{value.left(colon), port};
}

Database& ReadingSource::forReading()
{
    onStandby_ = server_ && standbyConnected() && standbyCaughtUp();
    if (onStandby_)
        lastReason_.clear();
    return onStandby_ ? standby_ : main_;
}

bool ReadingSource::standbyConnected()
{
    if (standby_.isOpen())
        return true;
    if (sinceFailure_.isValid() && sinceFailure_.elapsed() < kRetryAfterMs)
        return false;
    ConnectionSettings settings = main_.settings();
    settings.host = server_->first;
    settings.port = server_->second;
    try {
        standby_.open(settings);
        sinceFailure_.invalidate();
        return true;
    } catch (const DbError& error) {
        sinceFailure_.start();
        passOver(QStringLiteral("the standby %1:%2 cannot be reached (%3)")
                     .arg(settings.host)
                     .arg(settings.port)
                     .arg(error.message().trimmed()));
        return false;
    }
}

bool ReadingSource::standbyCaughtUp()
{
    // What the main server has committed by now: the standby must have replayed it. The insert
    // position, not the written one: with asynchronous commit a commit record may not have been
    // written yet when its transaction is already visible on the main server.
    QSqlQuery mainPosition = main_.exec(QStringLiteral("select pg_current_wal_insert_lsn()::text"));
    mainPosition.next();
    const QString position = mainPosition.value(0).toString();
    QElapsedTimer waited;
    waited.start();
    try {
        for (;;) {
            QSqlQuery replay = standby_.exec(
                QStringLiteral("select pg_is_in_recovery(), coalesce(pg_last_wal_replay_lsn() >= :position::pg_lsn, false), "
                               "coalesce(extract(epoch from now() - pg_last_xact_replay_timestamp()), 0)::integer"),
                {{QStringLiteral("position"), position}});
            replay.next();
            if (!replay.value(0).toBool()) {
                passOver(QStringLiteral("the report server is not a standby in recovery"));
                return false;
            }
            if (replay.value(1).toBool())
                return true;
            if (waited.elapsed() >= kCatchUpMs) {
                passOver(QStringLiteral("the standby has not replayed the main server's last commit (its last replayed "
                                        "transaction is %1 s old)")
                             .arg(replay.value(2).toInt()));
                return false;
            }
            QThread::msleep(kPollMs);
        }
    } catch (const DbError& error) {
        standby_.close();
        sinceFailure_.start();
        passOver(QStringLiteral("the standby failed (%1)").arg(error.message().trimmed()));
        return false;
    }
}

void ReadingSource::passOver(const QString& why)
{
    if (why == lastReason_)
        return;
    lastReason_ = why;
    qWarning("Reports read from the main server: %s", qPrintable(why));
}
