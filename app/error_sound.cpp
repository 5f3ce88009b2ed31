// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/error_sound.h"

#include <pulse/context.h>
#include <pulse/mainloop.h>
#include <pulse/stream.h>

#include <poll.h>
#include <QApplication>
#include <QFile>
#include <QtEndian>
#include <atomic>
#include <chrono>
#include <system_error>

namespace {

// The sound is compiled into the program (see app/make_error_sound.py).
const char* const kSoundResource = ":/sounds/erreur.wav";
// How long closing waits for the sound thread to let its connection go. It never waits on
// the server, so it ends at once; a thread that does not is left to end with the program.
constexpr std::chrono::milliseconds kEndWait{200};

quint32 Le32(const QByteArray& bytes, qsizetype at) { return qFromLittleEndian<quint32>(bytes.constData() + at); }
quint16 Le16(const QByteArray& bytes, qsizetype at) { return qFromLittleEndian<quint16>(bytes.constData() + at); }

void Forget(pa_operation* operation) {
    if (operation) pa_operation_unref(operation);
}

bool Running(pa_operation* operation) { return operation && pa_operation_get_state(operation) == PA_OPERATION_RUNNING; }

// Lets an operation go, cancelling it first if the server has not answered it yet.
void Drop(pa_operation*& operation) {
    if (Running(operation)) pa_operation_cancel(operation);
    Forget(operation);
    operation = nullptr;
}

}  // namespace

// The sound thread's side. Everything it does with the sound server is asynchronous: it
// waits only in its own event loop, where a request or the end also wakes it.
class SoundPlayer {
public:
    enum class Output { Preparing, Ready, Absent };

    SoundPlayer(pa_mainloop* loop, PcmSound sound) : loop_(loop), sound_(std::move(sound)) {}
    ~SoundPlayer() { pa_mainloop_free(loop_); }
    SoundPlayer(const SoundPlayer&) = delete;
    SoundPlayer& operator=(const SoundPlayer&) = delete;

    // From the window thread.
    Output CurrentOutput() const { return output_.load(); }
    void Request() { Wake(requested_); }
    void Quit() { Wake(quitting_); }

    // The thread's body: connects, then plays each request until told to quit.
    void Run();

private:
    void Wake(std::atomic<bool>& flag) {
        if (!flag.exchange(true)) pa_mainloop_wakeup(loop_);
    }
    // The loop's wait. The loop empties its wake-up pipe before waiting, which may take
    // the wake-up of a request made just then: one already made does not wait.
    static int Poll(pollfd* fds, unsigned long count, int timeout, void* player) {
        const auto* self = static_cast<const SoundPlayer*>(player);
        if (self->requested_.load() || self->quitting_.load()) timeout = 0;
        return poll(fds, count, timeout);
    }
    void Connect();
    void Disconnect();
    void CloseStream();
    void Update();
    void Start();

    pa_mainloop* const loop_;
    const PcmSound sound_;
    std::atomic<Output> output_{Output::Preparing};
    std::atomic<bool> requested_{false};
    std::atomic<bool> quitting_{false};

    // The sound thread's own.
    pa_context* context_ = nullptr;
    pa_stream* stream_ = nullptr;
    bool wantStream_ = false;
    pa_operation* starting_ = nullptr;  // the last start, until the server acknowledges it
    pa_operation* draining_ = nullptr;  // the last sound, until played out
};

void SoundPlayer::Run() {
    pa_mainloop_set_poll_func(loop_, &SoundPlayer::Poll, this);
    Connect();
    while (!quitting_.load()) {
        if (pa_mainloop_iterate(loop_, 1, nullptr) < 0) break;
        if (requested_.exchange(false)) Start();
        Update();
    }
    Disconnect();
    output_ = Output::Absent;  // the bell serves if the loop itself fails
}

void SoundPlayer::Connect() {
    context_ = pa_context_new(pa_mainloop_get_api(loop_), "Clavelle");
    // The program never starts a sound server of its own.
    if (!context_ || pa_context_connect(context_, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) {
        Disconnect();
        output_ = Output::Absent;
        return;
    }
    wantStream_ = true;
}

void SoundPlayer::CloseStream() {
    Drop(starting_);
    Drop(draining_);
    if (!stream_) return;
    pa_stream_disconnect(stream_);
    pa_stream_unref(stream_);
    stream_ = nullptr;
}

void SoundPlayer::Disconnect() {
    CloseStream();
    if (!context_) return;
    pa_context_disconnect(context_);
    pa_context_unref(context_);
    context_ = nullptr;
}

// Follows the connection and the stream after each turn of the loop: opens the stream once
// connected, marks the sound ready or absent, and corks the stream once a sound has been
// played out, so that nothing plays between sounds.
void SoundPlayer::Update() {
    if (context_ && !PA_CONTEXT_IS_GOOD(pa_context_get_state(context_))) {
        Disconnect();
        output_ = Output::Absent;
        return;
    }
    if (context_ && !stream_ && wantStream_ && pa_context_get_state(context_) == PA_CONTEXT_READY) {
        wantStream_ = false;
        const pa_sample_spec spec{PA_SAMPLE_S16LE, sound_.Rate, sound_.Channels};
        const auto size = static_cast<uint32_t>(sound_.Samples.size());
        // The whole sound fits in the stream's buffer and starts as soon as it is written.
        const pa_buffer_attr buffer{static_cast<uint32_t>(-1), size, static_cast<uint32_t>(-1),
                                    static_cast<uint32_t>(-1), static_cast<uint32_t>(-1)};
        stream_ = pa_stream_new(context_, "Erreur de frappe", &spec, nullptr);
        const auto flags = static_cast<pa_stream_flags_t>(PA_STREAM_START_CORKED | PA_STREAM_ADJUST_LATENCY);
        if (stream_ && pa_stream_connect_playback(stream_, nullptr, &buffer, flags, nullptr, nullptr) < 0)
            CloseStream();
        if (!stream_) output_ = Output::Absent;
    }
    if (stream_) {
        const pa_stream_state_t state = pa_stream_get_state(stream_);
        if (state == PA_STREAM_READY) {
            output_ = Output::Ready;
        } else if (!PA_STREAM_IS_GOOD(state)) {  // no audio output, or it went away
            CloseStream();
            output_ = Output::Absent;
        }
    }
    if (draining_ && !Running(draining_)) {
        Drop(draining_);
        if (stream_) Forget(pa_stream_cork(stream_, 1, nullptr, nullptr));
    }
}

// Plays the sound from its start, cutting one still playing. A request that comes while
// the server has not yet answered the previous one is dropped, so that nothing piles up
// for a server that does not answer.
void SoundPlayer::Start() {
    if (!context_) {
        Connect();
        return;
    }
    if (!stream_) {
        wantStream_ = true;
        return;
    }
    if (pa_stream_get_state(stream_) != PA_STREAM_READY || Running(starting_)) return;
    Drop(starting_);
    Drop(draining_);
    Forget(pa_stream_flush(stream_, nullptr, nullptr));
    pa_stream_write(stream_, sound_.Samples.constData(), static_cast<size_t>(sound_.Samples.size()), nullptr, 0,
                    PA_SEEK_RELATIVE);
    starting_ = pa_stream_cork(stream_, 0, nullptr, nullptr);
    draining_ = pa_stream_drain(stream_, nullptr, nullptr);
}

std::optional<PcmSound> ReadWav(const QByteArray& file) {
    if (file.size() < 12 || !file.startsWith("RIFF") || file.mid(8, 4) != "WAVE") return std::nullopt;
    std::optional<PcmSound> sound;
    for (qsizetype at = 12; at + 8 <= file.size();) {
        const QByteArray id = file.mid(at, 4);
        const quint32 size = Le32(file, at + 4);
        const qsizetype body = at + 8;
        if (size > static_cast<quint64>(file.size() - body)) return std::nullopt;
        if (id == "fmt " && size >= 16) {
            const quint16 encoding = Le16(file, body);
            const quint16 channels = Le16(file, body + 2);
            const quint32 rate = Le32(file, body + 4);
            const quint16 bits = Le16(file, body + 14);
            // 16-bit PCM only, within what a sound server takes
            if (encoding != 1 || bits != 16 || channels < 1 || channels > 32 || rate < 1 || rate > 384000)
                return std::nullopt;
            sound = PcmSound{static_cast<uint8_t>(channels), rate, {}};
        } else if (id == "data" && sound) {
            // whole frames only
            sound->Samples = file.mid(body, size - size % (2U * sound->Channels));
            if (sound->Samples.isEmpty()) return std::nullopt;
            return sound;
        }
        at = body + size + (size & 1);
    }
    return std::nullopt;
}

ErrorSound::ErrorSound() {
    // A sound server is found through the session's runtime folder or a server named in the
    // environment. Without either, none can be reached, and asking for one would make the
    // sound library create a folder of its own in the home folder: the bell serves.
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR") && qEnvironmentVariableIsEmpty("PULSE_SERVER")) return;
    QFile file(QString::fromLatin1(kSoundResource));
    std::optional<PcmSound> sound;
    if (file.open(QIODevice::ReadOnly)) sound = ReadWav(file.readAll());
    pa_mainloop* loop = sound ? pa_mainloop_new() : nullptr;
    if (!loop) return;
    player_ = std::make_shared<SoundPlayer>(loop, std::move(*sound));
    auto ended = std::make_shared<std::promise<void>>();
    ended_ = ended->get_future();
    // The thread shares the player, which thus outlives this object when the thread is left
    // to end with the program.
    try {
        thread_ = std::thread([player = player_, ended] {
            player->Run();
            ended->set_value();
        });
    } catch (const std::system_error&) {
        player_.reset();  // no thread to be had: the bell serves
    }
}

ErrorSound::~ErrorSound() {
    if (!player_) return;
    player_->Quit();
    if (ended_.wait_for(kEndWait) == std::future_status::ready)
        thread_.join();
    else
        thread_.detach();
}

void ErrorSound::Play() {
    if (!player_ || player_->CurrentOutput() == SoundPlayer::Output::Absent) QApplication::beep();
    // Also when absent: the sound thread tries the server again for the next wrong key.
    if (player_) player_->Request();
}
