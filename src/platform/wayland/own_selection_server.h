#pragma once

#include <QByteArray>
#include <QImage>

#include <chrono>
#include <cstddef>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

struct zwlr_data_control_manager_v1;
struct zwlr_data_control_device_v1;
struct zwlr_data_control_source_v1;

namespace zub {

// What the program itself puts on the clipboard: text in the code page, a picture (as pixels, or
// as the bytes another program served, when the kept copy is put back), or nothing at all, which
// empties the clipboard.
struct OwnContent {
    std::optional<std::string> text;
    QImage image;
    QByteArray encodedImage;
    QByteArray encodedImageType;
    bool isEmpty() const { return !text && image.isNull() && encodedImage.isEmpty(); }
};

// Serves the program's own copies over data-control, on the session's thread: a data source per
// copy, each type turned into bytes only when a reader first asks for it (so a recalled text of
// a few hundred megabytes never sits in memory as UTF-16), written to the readers' pipes without
// ever blocking. A reader that stops reading is dropped after a while; one that closes its pipe
// early costs nothing (SIGPIPE is ignored).
class OwnSelectionServer {
public:
    // Every source offers this type too, so that the program knows its own copies when the
    // compositor announces them.
    static std::string markerType();

    OwnSelectionServer() = default;
    ~OwnSelectionServer();
    OwnSelectionServer(const OwnSelectionServer&) = delete;
    OwnSelectionServer& operator=(const OwnSelectionServer&) = delete;

    // Makes `content` the selection (an empty content clears it).
    void publish(zwlr_data_control_manager_v1* manager, zwlr_data_control_device_v1* device,
                 std::shared_ptr<const OwnContent> content);

    // The readers' pipes waiting for bytes, and the work done when they can take some.
    std::vector<int> writableFds() const;
    void writeSome();
    // When the next stuck reader is to be given up.
    std::optional<std::chrono::steady_clock::time_point> nextDeadline() const;
    void dropStuckReaders();

    // The source's events, as the protocol listener delivers them.
    static void send(void* data, zwlr_data_control_source_v1* source, const char* type, int fd);
    static void cancelled(void* data, zwlr_data_control_source_v1* source);

private:
    struct Source {
        zwlr_data_control_source_v1* source = nullptr;
        std::shared_ptr<const OwnContent> content;
        std::map<std::string, std::shared_ptr<const QByteArray>> encoded;
    };
    struct Reader {
        int fd = -1;
        std::shared_ptr<const QByteArray> bytes;
        std::size_t written = 0;
        std::chrono::steady_clock::time_point deadline;
    };

    Source* find(zwlr_data_control_source_v1* source);

    std::vector<std::unique_ptr<Source>> m_sources;
    std::vector<Reader> m_readers;
};

} // namespace zub
