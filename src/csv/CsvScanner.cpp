// The load pass over a CSV or TXT file: the file is cut into chunks that every core counts at
// the same time (CsvChunkScan), and the caller's thread joins them in file order, reports
// progress and stops the work when asked. Memory stays flat: each worker holds one chunk's
// bytes, and only a few chunks wait for the join at any time.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <stdexcept>
#include <system_error>
#include <thread>

#include "csv/CsvChunkScan.h"
#include "csv/CsvLineCounter.h"
#include "csv/CsvLines.h"

namespace korvane {

namespace {

// A whole number of the reader's blocks, so that each chunk sums whole blocks; large enough
// that the work of a chunk outweighs handing it over.
constexpr uint64_t kChunkBytes = 32 * TextFileReader::kBlockSize;
// Enough of the start to see whether the file has CR line ends, as most such files show in
// their first line.
constexpr uint64_t kHeadBytes = TextFileReader::kBlockSize;
// How often progress is told while the workers run, and at least how much must be done.
constexpr auto kProgressInterval = std::chrono::milliseconds(50);
constexpr uint64_t kProgressBytes = 4 << 20;

constexpr unsigned kMaxThreads = 16;

enum class PassEnd { Done, Cancelled, Failed, SawCr };

// Counts a chunk; running out of memory fails the chunk (and so the scan), nothing more.
void countChunk(const CsvChunkJob& job, std::vector<char>& buffer, CsvChunk& chunk) {
    try {
        countCsvChunk(job, buffer, chunk);
    } catch (const std::exception&) {
        chunk.failed = true;
    }
}

// The chunk borders: chunk i is [borders[i], borders[i + 1]).
std::vector<uint64_t> chunkBorders(uint64_t first, uint64_t size, const CsvScanOptions& options) {
    std::vector<uint64_t> borders{first};
    if (!options.cuts.empty()) {
        for (const uint64_t cut : options.cuts) {
            if (cut > borders.back() && cut < size) {
                borders.push_back(cut);
            }
        }
    } else {
        const uint64_t step = options.chunkBytes > 0 ? options.chunkBytes : kChunkBytes;
        for (uint64_t cut = (first / step + 1) * step; cut < size; cut += step) {
            borders.push_back(cut);
        }
    }
    if (size > first) {
        borders.push_back(size);
    }
    return borders;
}

// Tells progress from the caller's thread, at most every kProgressInterval unless done.
class ProgressTeller {
public:
    ProgressTeller(const std::function<bool(double)>& progress, uint64_t size)
        : m_progress(progress), m_size(size) {}

    // False when the caller asked to stop.
    bool tell(uint64_t done, bool force) {
        const auto now = std::chrono::steady_clock::now();
        if (!m_progress ||
            (!force && done < m_toldBytes + kProgressBytes && now - m_toldAt < kProgressInterval)) {
            return true;
        }
        m_toldAt = now;
        m_toldBytes = std::max(m_toldBytes, done);
        return m_progress(
            m_size == 0 ? 1.0 : static_cast<double>(m_toldBytes) / static_cast<double>(m_size));
    }

private:
    const std::function<bool(double)>& m_progress;
    uint64_t m_size;
    uint64_t m_toldBytes = 0;
    std::chrono::steady_clock::time_point m_toldAt = std::chrono::steady_clock::now();
};

// Counts the chunks on `threads` workers and joins them in order on this thread.
class ChunkPass {
public:
    ChunkPass(const CsvChunkJob& job, const std::vector<uint64_t>& borders, int threads)
        : m_job(job),
          m_borders(borders),
          m_count(borders.empty() ? 0 : borders.size() - 1),
          m_threads(static_cast<size_t>(std::max(1, threads))),
          m_window(2 * m_threads + 2),
          m_chunks(m_count) {}

    PassEnd run(CsvChunkJoin& join, ProgressTeller& progress, uint64_t& end);

private:
    void work();
    // Waits for chunk `index`; null when the pass stopped instead.
    std::unique_ptr<CsvChunk> take(size_t index, ProgressTeller& progress, bool& cancelled);
    void stopWorkers();

    const CsvChunkJob& m_job;
    const std::vector<uint64_t>& m_borders;
    size_t m_count;
    size_t m_threads;
    size_t m_window;  // chunks counted ahead of the join at most
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<std::unique_ptr<CsvChunk>> m_chunks;
    size_t m_next = 0;
    size_t m_joined = 0;
    bool m_stop = false;
    bool m_broken = false;  // a worker found a CR or a failed read: the pass ends early
    std::vector<std::thread> m_workers;
};

void ChunkPass::work() {
    std::vector<char> buffer;
    for (;;) {
        size_t index = 0;
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_changed.wait(lock, [this] {
                return m_stop || m_next >= m_count || m_next < m_joined + m_window;
            });
            if (m_stop || m_next >= m_count) {
                return;
            }
            index = m_next++;
        }
        auto chunk = std::make_unique<CsvChunk>();
        chunk->begin = m_borders[index];
        chunk->end = m_borders[index + 1];
        countChunk(m_job, buffer, *chunk);
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_broken = m_broken || chunk->sawCr || chunk->failed;
            m_chunks[index] = std::move(chunk);
        }
        m_changed.notify_all();
    }
}

std::unique_ptr<CsvChunk> ChunkPass::take(size_t index, ProgressTeller& progress, bool& cancelled) {
    std::unique_lock<std::mutex> lock(m_mutex);
    while (!m_chunks[index] && !m_broken) {
        m_changed.wait_for(lock, kProgressInterval);
        if (!m_chunks[index] && !m_broken) {
            lock.unlock();
            const bool goOn = progress.tell(m_borders[index] - m_borders.front(), false);
            lock.lock();
            if (!goOn) {
                cancelled = true;
                return nullptr;
            }
        }
    }
    if (!m_chunks[index]) {
        return nullptr;
    }
    std::unique_ptr<CsvChunk> chunk = std::move(m_chunks[index]);
    m_joined = index + 1;
    lock.unlock();
    m_changed.notify_all();
    return chunk;
}

void ChunkPass::stopWorkers() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
    }
    m_changed.notify_all();
    for (std::thread& worker : m_workers) {
        worker.join();
    }
    m_workers.clear();
}

PassEnd ChunkPass::run(CsvChunkJoin& join, ProgressTeller& progress, uint64_t& end) {
    if (m_threads > 1 && m_count > 1) {
        try {
            for (size_t t = 0; t < std::min(m_threads, m_count); ++t) {
                m_workers.emplace_back([this] { work(); });
            }
        } catch (const std::system_error&) {
            // No more threads to be had: those started do the work.
        }
    }
    const bool runInline = m_workers.empty();
    std::vector<char> buffer;
    PassEnd outcome = PassEnd::Done;
    for (size_t index = 0; index < m_count; ++index) {
        std::unique_ptr<CsvChunk> chunk;
        if (runInline) {
            chunk = std::make_unique<CsvChunk>();
            chunk->begin = m_borders[index];
            chunk->end = m_borders[index + 1];
            countChunk(m_job, buffer, *chunk);
        } else {
            bool cancelled = false;
            chunk = take(index, progress, cancelled);
            if (cancelled) {
                outcome = PassEnd::Cancelled;
                break;
            }
            if (!chunk) {
                outcome = PassEnd::Failed;  // the broken chunk itself tells which
                std::lock_guard<std::mutex> lock(m_mutex);
                for (const auto& other : m_chunks) {
                    if (other && other->sawCr) {
                        outcome = PassEnd::SawCr;
                    }
                }
                break;
            }
        }
        if (chunk->sawCr || chunk->failed) {
            outcome = chunk->sawCr ? PassEnd::SawCr : PassEnd::Failed;
            break;
        }
        join.add(*chunk);
        end = chunk->end;
        if (chunk->cutShort) {
            break;  // the file was cut short meanwhile: what is there is counted
        }
        if (!progress.tell(chunk->end - m_borders.front(), false)) {
            outcome = PassEnd::Cancelled;
            break;
        }
    }
    stopWorkers();
    return outcome;
}

}  // namespace

CsvScan scanCsvLines(std::shared_ptr<TextFileReader> reader,
                     const std::function<bool(double)>& progress, const CsvScanOptions& options) {
    CsvScan result;
    if (!reader) {
        return result;
    }
    const uint64_t size = reader->size();
    std::vector<char> head(static_cast<size_t>(std::min(size, kHeadBytes)));
    const int64_t headSize = reader->readAt(0, head.data(), static_cast<int64_t>(head.size()));
    if (headSize < 0) {
        return result;
    }
    const QByteArrayView headBytes(head.data(), headSize);
    const bool hasBom = startsWithUtf8Bom(headBytes);
    const uint64_t firstLineStart = hasBom ? kUtf8BomSize : 0;
    const std::vector<uint64_t> borders = chunkBorders(firstLineStart, size, options);
    // One per core, but not so many that memory bandwidth is long spent before they all run.
    const int threads =
        options.threads > 0
            ? options.threads
            : static_cast<int>(std::clamp(std::thread::hardware_concurrency(), 1u, kMaxThreads));

    LineBreaks breaks = headBytes.contains('\r') ? LineBreaks::CrOrCrLf : LineBreaks::Lf;
    ProgressTeller teller(progress, size);
    for (;;) {
        std::vector<uint64_t> sums(static_cast<size_t>((size + TextFileReader::kBlockSize - 1) /
                                                       TextFileReader::kBlockSize));
        std::atomic<bool> notUtf8{false};
        CsvChunkJob job;
        job.reader = reader.get();
        job.breaks = breaks;
        job.method = options.method;
        job.firstLineStart = firstLineStart;
        job.checkUtf8 = !hasBom;
        job.notUtf8 = &notUtf8;
        job.blockSums = &sums;
        CsvChunkJoin join(firstLineStart, CsvLineCounter::kLinesPerMark);
        uint64_t end = firstLineStart;
        ChunkPass pass(job, borders, threads);
        const PassEnd outcome = pass.run(join, teller, end);
        if (outcome == PassEnd::SawCr && breaks == LineBreaks::Lf) {
            breaks = LineBreaks::CrOrCrLf;  // a CR anywhere: the file has CR line ends
            continue;
        }
        if (outcome != PassEnd::Done) {
            result.status = outcome == PassEnd::Cancelled ? CsvScan::Status::Cancelled
                                                          : CsvScan::Status::Failed;
            return result;
        }
        join.finish(std::max(end, firstLineStart));
        if (!teller.tell(size, true)) {
            result.status = CsvScan::Status::Cancelled;
            return result;
        }
        const TextEncoding encoding =
            hasBom || join.utf8Valid() ? TextEncoding::Utf8 : TextEncoding::Cp932;
        reader->expectBlockSums(std::move(sums));
        result.status = CsvScan::Status::Done;
        result.lines = std::make_shared<const CsvLines>(reader, encoding, breaks, join.lineCount(),
                                                        join.maxFieldCount(), join.takeMarks());
        return result;
    }
}

}  // namespace korvane
