#include "results_reader.h"

#include "platform/pause.h"
#include "state/clock.h"
#include "state/message_box.h"
#include "state/shared_state.h"
#include "statistics.h"

#include <QDir>
#include <QFileInfo>
#include <limits>

void ResultsReader::fatal(const QString& text)
{
    reportFatal(m_services.messages, m_services.programEnd, text);
}

QString ResultsReader::diagnostic(int step, int code, const QString& text) const
{
    return QStringLiteral("成績ランダムファイル表示\r\n手順 %1\r\nエラー番号 %2：%3\r\n"
                          "/date/i=/time=/name=%4/Bangou=/level=/time=line")
        .arg(step)
        .arg(code)
        .arg(text, resultsfile::resultsFileName());
}

std::optional<QList<ResultRecord>> ResultsReader::read(qint64 maxRecords)
{
    const QString path = resultsfile::resultsPath(m_services.state.folders);
    int missingTries = 0;
    int busyMs = 0;
    std::unique_ptr<MessageBox::Waiting> notice;
    for (;;) {
        int step = 2;
        RecordFile::Failure failure;
        int code;
        QString text;
        OpenedRecordFile opened = m_open(path);
        if (opened.file) {
            RecordFile& file = *opened.file;
            step = 4;
            const qint64 size = file.size();
            if (size >= 0) {
                const qint64 total = size / kResultRecordLength;
                const qint64 wanted = std::min(total, maxRecords);
                const int count = wanted > std::numeric_limits<int>::max() / kResultRecordLength ? 0 : int(wanted);
                QByteArray bytes(qsizetype(count) * kResultRecordLength, Qt::Uninitialized);
                step = 5;
                const qint64 first = (total - count) * kResultRecordLength;
                if (count == 0 || file.readAt(first, bytes.data(), bytes.size())) {
                    QList<ResultRecord> records;
                    records.reserve(count);
                    for (int j = 0; j < count; ++j)
                        records.append(ResultRecord::decode(bytes.constData() + qsizetype(j) * kResultRecordLength));
                    return records;
                }
            }
            failure = file.failure();
            code = file.errorCode();
            text = file.errorText();
        } else {
            failure = opened.failure;
            code = opened.errorCode;
            text = opened.errorText;
        }
        switch (failure) {
        case RecordFile::Failure::NotFound:
            if (++missingTries >= kMissingFileTries) {
                fatal(QStringLiteral("手順 %1\r\n「%2」のファイルがありません\r\n%3\r\nエラー番号 %4")
                          .arg(step)
                          .arg(path, text)
                          .arg(code));
                return std::nullopt;
            }
            m_pause.wait(kMissingFileWaitMs);
            break;
        case RecordFile::Failure::Sharing: { // another program of the family is writing it
            const QString text =
                QStringLiteral(
                    "ほかのプログラムがせいせきのファイル「%1」を使っているため、空くのを待っています（%2 秒）。"
                    "\r\n場所：%3\r\n待つのをやめるときは「中止」をおしてください。プログラムを終わります。")
                    .arg(resultsfile::resultsFileName())
                    .arg(busyMs / 1000)
                    .arg(QDir::toNativeSeparators(QFileInfo(path).absolutePath()));
            if (busyMs >= kNoticeAfterMs) {
                if (!notice)
                    notice = m_services.messages.waiting(QStringLiteral("せいせきのファイルを待っています"), text);
                else
                    notice->setText(text);
            }
            m_pause.wait(kSharingWaitMs);
            busyMs += kSharingWaitMs;
            if (notice && notice->cancelled()) {
                notice.reset();
                m_services.programEnd.endProgram(0);
                return std::nullopt;
            }
            break;
        }
        case RecordFile::Failure::Denied: // waiting would never end: the teacher must act
            fatal(RecordsError{resultsfile::resultsFileName(), QStringLiteral("を開く"), code, text}.message() +
                  QStringLiteral("\r\n先生へ：フォルダ「%1」とこのファイルに書きこみできるようにしてください"
                                 "（読み取りだけのせっていを外す、書きこみをゆるす）。")
                      .arg(QDir::toNativeSeparators(QFileInfo(path).absolutePath())));
            return std::nullopt;
        default:
            fatal(diagnostic(step, code, text));
            return std::nullopt;
        }
    }
}

bool ResultsReader::refreshStatistics(QList<ResultRecord>* records)
{
    auto read = this->read();
    if (!read)
        return false;
    SharedState& state = m_services.state;
    state.stats = statistics::compute(*read, state.rules, state.catalogue.courseCount, m_services.clock.today(),
                                      m_services.clock.timeOfDay());
    if (records)
        *records = std::move(*read);
    return true;
}
