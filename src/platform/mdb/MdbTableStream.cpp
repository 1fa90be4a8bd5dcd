#include "platform/mdb/MdbSession.h"

#include <algorithm>

#include "platform/mdb/MdbSessionInternal.h"

namespace korvane {

using mdbsession::garbledReply;
using mdbsession::requestWithString;

namespace {

constexpr uint32_t kLargestBatch = 4096;

// The most rows a table may give before it counts as damaged. Access does not always keep the
// declared count up to date (MSysQueries of an edited database declares 82 rows and holds 90),
// so the count is a guide: only a table that gives far more is stopped.
uint64_t rowLimit(uint64_t declaredRows) {
    return declaredRows * 2 + 1000;
}

}  // namespace

TableStream::TableStream(std::shared_ptr<MdbSession> session, const MdbCatalogueEntry& table)
    : m_session(std::move(session)),
      m_name(table.name),
      m_position(static_cast<uint32_t>(&table - m_session->entries().data())) {}

QStringList TableStream::names() const {
    QStringList out;
    for (const MdbColumnInfo& column : m_header.columns) {
        out << column.name;
    }
    return out;
}

Failure TableStream::endWith(Failure failure) {
    m_ended = true;
    return failure;
}

Status TableStream::open() {
    MdbSession& session = *m_session;
    if (Status drained = session.drain(); !drained) {
        return drained;
    }
    m_generation = ++session.m_generation;
    m_rowsRead = 0;
    m_ended = false;
    std::string request(1, mdbproto::kOpenTable);
    mdbproto::putU32(request, m_position);
    // When the helper is gone, the read below says why.
    session.m_reader.send(QByteArray(request.data(), static_cast<qsizetype>(request.size())));
    const auto frame = session.m_reader.readFrame();
    if (!frame) {
        return endWith(frame.takeFailure());
    }
    if (frame->kind == mdbproto::kError) {
        return endWith(
            Failure(MdbFault::CannotOpenTable, {m_name}, decodeErrorReply(frame->payload)));
    }
    std::optional<MdbTableHeader> header;
    if (frame->kind == mdbproto::kTableHeader) {
        header = decodeTableHeader(frame->payload, session.text());
    }
    if (!header) {
        session.m_reader.stop();
        return endWith(garbledReply());
    }
    m_header = std::move(*header);
    return Done{};
}

void TableStream::request() {
    MdbSession& session = *m_session;
    std::string out(1, mdbproto::kNextRows);
    mdbproto::putU32(out, m_batchSize);
    session.m_reader.send(QByteArray(out.data(), static_cast<qsizetype>(out.size())));
    session.m_batchOpen = true;
    // Small batches first, so the first rows show quickly; larger ones once rows flow.
    m_batchSize = std::min(kLargestBatch, m_batchSize * 2);
}

Result<bool> TableStream::next(std::vector<DbValue>& row) {
    if (m_ended) {
        return false;
    }
    MdbSession& session = *m_session;
    if (session.m_generation != m_generation) {
        return endWith(Failure{MdbFault::TableReadStopped, {m_name}});
    }
    for (;;) {
        if (!session.m_batchOpen) {
            request();
        }
        const auto frame = session.m_reader.readFrame();
        if (!frame) {
            session.m_batchOpen = false;
            return endWith(frame.takeFailure());
        }
        switch (frame->kind) {
            case mdbproto::kRow:
                if (!decodeRowReply(frame->payload, m_header.columns, row, session.text())) {
                    session.m_reader.stop();
                    session.m_batchOpen = false;
                    return endWith(garbledReply());
                }
                if (++m_rowsRead > rowLimit(m_header.declaredRows)) {
                    // A damaged page chain can hand out the same rows again and again.
                    session.m_reader.stop();
                    session.m_batchOpen = false;
                    return endWith(Failure{MdbFault::FarTooManyRows,
                                           {m_name, QString::number(m_header.declaredRows)}});
                }
                return true;
            case mdbproto::kBatchEnd:
                session.m_batchOpen = false;
                continue;
            case mdbproto::kTableEnd:
                session.m_batchOpen = false;
                m_ended = true;
                return false;
            case mdbproto::kError:
                session.m_batchOpen = false;
                return endWith(
                    Failure(MdbFault::CannotReadTable, {m_name}, decodeErrorReply(frame->payload)));
            default:
                session.m_reader.stop();
                session.m_batchOpen = false;
                return endWith(garbledReply());
        }
    }
}

Status TableStream::rewind() {
    return open();
}

}  // namespace korvane
