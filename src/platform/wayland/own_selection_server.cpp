#include "platform/wayland/own_selection_server.h"

#include "text/codepage.h"
#include "text/utf8.h"

#include "wlr-data-control-unstable-v1-client-protocol.h"

#include <QBuffer>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace zub {
namespace {

using namespace std::chrono_literals;

// A reader that takes nothing for this long is given up, so that its pipe does not stay open.
constexpr auto kStuckReader = 30s;
constexpr std::size_t kWriteChunk = 1 << 16;

const char* const kTextTypes[] = {"text/plain;charset=utf-8", "UTF8_STRING", "text/plain", "TEXT"};

// UTF-8 of code-page text, converted a slice at a time so that only a slice is ever held as
// UTF-16. Other programs know only Unicode: a byte that is no character becomes U+FFFD.
QByteArray utf8Of(std::string_view bytes) {
    constexpr std::size_t kSlice = 1 << 20;
    QByteArray out;
    out.reserve(static_cast<qsizetype>(bytes.size() + bytes.size() / 2));
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = start;
        while (end < bytes.size() && end - start < kSlice) end += cp::charLength(bytes, end);
        out += QByteArray::fromStdString(
            utf8::fromCodePage(bytes.substr(start, end - start), utf8::StrayBytes::Replace));
        start = end;
    }
    return out;
}

QByteArray encode(const OwnContent& content, const std::string& type) {
    if (content.text && std::ranges::find(kTextTypes, type) != std::end(kTextTypes))
        return utf8Of(*content.text);
    if (!content.encodedImage.isEmpty() && type == content.encodedImageType.toStdString())
        return content.encodedImage;
    if (!content.image.isNull() && type == "image/png") {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        content.image.save(&buffer, "PNG");
        return png;
    }
    return {};
}

const zwlr_data_control_source_v1_listener kSourceListener = {
    [](void* data, zwlr_data_control_source_v1* source, const char* type, int fd) {
        OwnSelectionServer::send(data, source, type, fd);
    },
    [](void* data, zwlr_data_control_source_v1* source) {
        OwnSelectionServer::cancelled(data, source);
    },
};

} // namespace

std::string OwnSelectionServer::markerType() {
    return "application/x-zub-own-copy;pid=" + std::to_string(::getpid());
}

OwnSelectionServer::~OwnSelectionServer() {
    for (const Reader& reader : m_readers) ::close(reader.fd);
    for (const auto& source : m_sources) zwlr_data_control_source_v1_destroy(source->source);
}

void OwnSelectionServer::publish(zwlr_data_control_manager_v1* manager,
                                 zwlr_data_control_device_v1* device,
                                 std::shared_ptr<const OwnContent> content) {
    if (content->isEmpty()) {
        zwlr_data_control_device_v1_set_selection(device, nullptr);
        return;
    }
    auto source = std::make_unique<Source>();
    source->source = zwlr_data_control_manager_v1_create_data_source(manager);
    source->content = std::move(content);
    zwlr_data_control_source_v1_add_listener(source->source, &kSourceListener, this);
    const OwnContent& c = *source->content;
    if (c.text)
        for (const char* type : kTextTypes) zwlr_data_control_source_v1_offer(source->source, type);
    if (!c.encodedImage.isEmpty())
        zwlr_data_control_source_v1_offer(source->source, c.encodedImageType.constData());
    else if (!c.image.isNull())
        zwlr_data_control_source_v1_offer(source->source, "image/png");
    zwlr_data_control_source_v1_offer(source->source, markerType().c_str());
    zwlr_data_control_device_v1_set_selection(device, source->source);
    m_sources.push_back(std::move(source));
}

void OwnSelectionServer::send(void* data, zwlr_data_control_source_v1* source, const char* type,
                              int fd) {
    auto* self = static_cast<OwnSelectionServer*>(data);
    Source* own = self->find(source);
    if (!own) {
        ::close(fd);
        return;
    }
    auto& bytes = own->encoded[type];
    if (!bytes) bytes = std::make_shared<const QByteArray>(encode(*own->content, type));
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    self->m_readers.push_back(
        Reader{fd, bytes, 0, std::chrono::steady_clock::now() + kStuckReader});
}

void OwnSelectionServer::cancelled(void* data, zwlr_data_control_source_v1* source) {
    auto* self = static_cast<OwnSelectionServer*>(data);
    // Readers already served go on reading the bytes they were promised.
    std::erase_if(self->m_sources, [source](const std::unique_ptr<Source>& s) {
        if (s->source != source) return false;
        zwlr_data_control_source_v1_destroy(s->source);
        return true;
    });
}

OwnSelectionServer::Source* OwnSelectionServer::find(zwlr_data_control_source_v1* source) {
    for (const auto& s : m_sources)
        if (s->source == source) return s.get();
    return nullptr;
}

std::vector<int> OwnSelectionServer::writableFds() const {
    std::vector<int> fds;
    for (const Reader& reader : m_readers) fds.push_back(reader.fd);
    return fds;
}

void OwnSelectionServer::writeSome() {
    std::erase_if(m_readers, [](Reader& reader) {
        const auto size = static_cast<std::size_t>(reader.bytes->size());
        while (reader.written < size) {
            const std::size_t n = std::min(kWriteChunk, size - reader.written);
            const ssize_t done = ::write(reader.fd, reader.bytes->constData() + reader.written, n);
            if (done < 0 && errno == EINTR) continue;
            if (done < 0 && errno == EAGAIN) return false;
            if (done <= 0) break; // the reader went away (EPIPE): nothing more to do for it
            reader.written += static_cast<std::size_t>(done);
            reader.deadline = std::chrono::steady_clock::now() + kStuckReader;
        }
        ::close(reader.fd);
        return true;
    });
}

std::optional<std::chrono::steady_clock::time_point> OwnSelectionServer::nextDeadline() const {
    std::optional<std::chrono::steady_clock::time_point> next;
    for (const Reader& reader : m_readers)
        if (!next || reader.deadline < *next) next = reader.deadline;
    return next;
}

void OwnSelectionServer::dropStuckReaders() {
    const auto now = std::chrono::steady_clock::now();
    std::erase_if(m_readers, [now](const Reader& reader) {
        if (reader.deadline > now) return false;
        ::close(reader.fd);
        return true;
    });
}

} // namespace zub
