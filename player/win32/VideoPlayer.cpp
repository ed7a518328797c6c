#include "VideoPlayer.h"

#include "ComPtr.h"

#include <dshow.h>

#include <algorithm>

namespace lumo::player {

namespace {

// IBasicAudio's silence, in hundredths of a decibel.
constexpr long kSilent = -10000;

class DirectShowVideo final : public VideoPlayer {
public:
    ~DirectShowVideo() override
    {
        if (m_control)
            m_control->Stop();
        if (m_events)
            m_events->SetNotifyWindow(0, 0, 0);
        if (m_window) {
            // The renderer's window must leave its owner before the graph goes.
            m_window->put_Visible(OAFALSE);
            m_window->put_MessageDrain(0);
            m_window->put_Owner(0);
        }
    }

    bool open(const std::wstring& path, HWND owner, bool muted)
    {
        if (FAILED(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                    m_graph.putVoid()))
            || FAILED(CoCreateInstance(CLSID_VideoRenderer, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                                       m_renderer.putVoid()))
            || FAILED(m_graph->AddFilter(m_renderer.get(), L"Video Renderer")))
            return false;
        // The renderer already in the graph takes the video; without an audio device the sound is
        // left out (VFW_S_PARTIAL_RENDER) and the video plays on.
        if (FAILED(m_graph->RenderFile(path.c_str(), nullptr)) || !rendererConnected())
            return false;
        if (FAILED(m_renderer->QueryInterface(IID_IVideoWindow, m_window.putVoid()))
            || FAILED(m_renderer->QueryInterface(IID_IBasicVideo, m_video.putVoid()))
            || FAILED(m_video->GetVideoSize(&m_size.cx, &m_size.cy)) || m_size.cx <= 0 || m_size.cy <= 0
            || FAILED(m_graph->QueryInterface(IID_IMediaControl, m_control.putVoid()))
            || FAILED(m_graph->QueryInterface(IID_IMediaEventEx, m_events.putVoid()))
            || FAILED(m_graph->QueryInterface(IID_IMediaSeeking, m_seeking.putVoid())))
            return false;
        m_graph->QueryInterface(IID_IBasicAudio, m_audio.putVoid());
        m_window->put_Owner(reinterpret_cast<OAHWND>(owner));
        m_window->put_WindowStyle(WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN);
        m_window->put_MessageDrain(reinterpret_cast<OAHWND>(owner));
        m_window->put_BorderColor(RGB(0, 0, 0));
        m_events->SetNotifyWindow(reinterpret_cast<OAHWND>(owner), kVideoEventMessage, 0);
        setMuted(muted);
        RECT client;
        GetClientRect(owner, &client);
        place(client);
        m_window->put_Visible(OATRUE);
        return SUCCEEDED(m_control->Run());
    }

    RECT placement(const RECT& client) const override
    {
        const LONG width = client.right - client.left, height = client.bottom - client.top;
        const double scale = std::min(double(width) / m_size.cx, double(height) / m_size.cy);
        const LONG w = std::max<LONG>(1, LONG(m_size.cx * scale + 0.5));
        const LONG h = std::max<LONG>(1, LONG(m_size.cy * scale + 0.5));
        const LONG left = client.left + (width - w) / 2, top = client.top + (height - h) / 2;
        return {left, top, left + w, top + h};
    }

    void place(const RECT& client) override
    {
        const RECT picture = placement(client);
        m_window->SetWindowPosition(client.left, client.top, std::max<LONG>(1, client.right - client.left),
                                    std::max<LONG>(1, client.bottom - client.top));
        m_video->SetDefaultSourcePosition();
        m_video->SetDestinationPosition(picture.left - client.left, picture.top - client.top,
                                        picture.right - picture.left, picture.bottom - picture.top);
    }

    void handleEvents() override
    {
        long code = 0;
        LONG_PTR first = 0, second = 0;
        while (SUCCEEDED(m_events->GetEvent(&code, &first, &second, 0))) {
            m_events->FreeEventParams(code, first, second);
            if (code == EC_COMPLETE) {
                // Stopped first: a seek while the sound renderer waits at its end can leave the
                // stream stalled.
                m_control->Stop();
                LONGLONG start = 0;
                m_seeking->SetPositions(&start, AM_SEEKING_AbsolutePositioning, nullptr, AM_SEEKING_NoPositioning);
                m_control->Run();
            }
        }
    }

    void setMuted(bool muted) override
    {
        if (m_audio)
            m_audio->put_Volume(muted ? kSilent : 0); // fails, harmlessly, when no sound was rendered
    }

private:
    bool rendererConnected()
    {
        ComPtr<IEnumPins> pins;
        ComPtr<IPin> pin;
        if (FAILED(m_renderer->EnumPins(pins.put())))
            return false;
        while (pins->Next(1, pin.put(), nullptr) == S_OK) {
            ComPtr<IPin> peer;
            if (SUCCEEDED(pin->ConnectedTo(peer.put())))
                return true;
        }
        return false;
    }

    SIZE m_size{};
    ComPtr<IGraphBuilder> m_graph;
    ComPtr<IBaseFilter> m_renderer;
    ComPtr<IVideoWindow> m_window;
    ComPtr<IBasicVideo> m_video;
    ComPtr<IMediaControl> m_control;
    ComPtr<IMediaEventEx> m_events;
    ComPtr<IMediaSeeking> m_seeking;
    ComPtr<IBasicAudio> m_audio;
};

} // namespace

std::unique_ptr<VideoPlayer> openVideo(const std::wstring& path, HWND window, bool muted)
{
    auto video = std::make_unique<DirectShowVideo>();
    if (!video->open(path, window, muted))
        return nullptr;
    return video;
}

} // namespace lumo::player
