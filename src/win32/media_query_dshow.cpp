// The media length query through a DirectShow filter graph: the graph is
// built for the file and asked for its duration, but never run.
#include "win32/media_query.h"

#include <windows.h>
#include <dshow.h>

#include <limits>

#include "win32/code_pages.h"

namespace tav {
namespace {

// Owns one COM interface pointer and releases it when it goes.
template <class T>
class ComRef {
public:
    ComRef() = default;
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;
    ~ComRef() {
        if (ptr_) ptr_->Release();
    }
    T* operator->() const { return ptr_; }
    T* get() const { return ptr_; }
    void** out() { return reinterpret_cast<void**>(&ptr_); }

private:
    T* ptr_ = nullptr;
};

template <class T>
bool query(IUnknown* from, REFIID iid, ComRef<T>& to) {
    return SUCCEEDED(from->QueryInterface(iid, to.out())) && to.get() != nullptr;
}

constexpr LONGLONG kUnitsPerSecond = 10'000'000;  // media time counts 100 ns
constexpr LONGLONG kUnitsPerMillisecond = 10'000;

// The frame count: the duration in frames where the source reports frames;
// otherwise whole seconds of media time times the average frame rate.
std::int64_t frame_count(IMediaSeeking* seeking, IBasicVideo* video) {
    LONGLONG duration = 0;
    // A refused format leaves the duration in media time, so check the format
    // really is frames before trusting the answer as a count.
    if (SUCCEEDED(seeking->SetTimeFormat(&TIME_FORMAT_FRAME)) &&
        seeking->IsUsingTimeFormat(&TIME_FORMAT_FRAME) == S_OK && SUCCEEDED(seeking->GetDuration(&duration)))
        return duration;

    if (FAILED(seeking->SetTimeFormat(&TIME_FORMAT_MEDIA_TIME)) || FAILED(seeking->GetDuration(&duration)))
        return 0;
    REFTIME seconds_per_frame = 0;
    if (FAILED(video->get_AvgTimePerFrame(&seconds_per_frame)) || !(seconds_per_frame > 0)) return 0;
    const double frames = static_cast<double>(duration / kUnitsPerSecond) * (1.0 / seconds_per_frame);
    if (!(frames < 9.2e18)) return 0;
    return static_cast<std::int64_t>(frames);
}

// Whole frames per second from the frame count and the duration in
// milliseconds; 0 when the duration cannot be read.
std::int64_t whole_rate(IMediaSeeking* seeking, std::int64_t frames) {
    LONGLONG duration = 0;
    if (FAILED(seeking->SetTimeFormat(&TIME_FORMAT_MEDIA_TIME)) || FAILED(seeking->GetDuration(&duration)))
        return 0;
    const std::int64_t milliseconds = duration / kUnitsPerMillisecond;
    if (milliseconds <= 0 || frames > std::numeric_limits<std::int64_t>::max() / 1000) return 0;
    return frames * 1000 / milliseconds;
}

}  // namespace

std::optional<MediaLength> directshow_media_length(const std::string& path) {
    const std::wstring wide = wide_from_ansi(path);
    if (wide.empty()) return std::nullopt;

    ComRef<IGraphBuilder> graph;
    if (FAILED(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder, graph.out())) ||
        !graph.get())
        return std::nullopt;
    if (FAILED(graph->RenderFile(wide.c_str(), nullptr))) return std::nullopt;

    ComRef<IMediaControl> control;
    ComRef<IMediaEventEx> events;
    ComRef<IMediaSeeking> seeking;
    ComRef<IVideoWindow> window;
    ComRef<IBasicVideo> video;
    ComRef<IBasicAudio> audio;
    if (!query(graph.get(), IID_IMediaControl, control) || !query(graph.get(), IID_IMediaEventEx, events) ||
        !query(graph.get(), IID_IMediaSeeking, seeking) || !query(graph.get(), IID_IVideoWindow, window) ||
        !query(graph.get(), IID_IBasicVideo, video) || !query(graph.get(), IID_IBasicAudio, audio))
        return std::nullopt;

    MediaLength length;
    length.frames = frame_count(seeking.get(), video.get());
    length.whole_rate = whole_rate(seeking.get(), length.frames);
    seeking->SetTimeFormat(&TIME_FORMAT_FRAME);  // leave the graph as it was asked first
    return length;
}

}  // namespace tav
