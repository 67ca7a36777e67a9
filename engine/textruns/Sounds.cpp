#include <course/textruns/Sounds.h>

#include <QFileInfo>

#include <canberra.h>

namespace course {

namespace {
std::function<void(Sound)>& sink() {
    static std::function<void(Sound)> s;
    return s;
}

ca_context* context() {
    // One context for the program; libcanberra plays on its own thread.
    static ca_context* ctx = [] {
        ca_context* c = nullptr;
        if (ca_context_create(&c) != CA_SUCCESS)
            return static_cast<ca_context*>(nullptr);
        ca_context_change_props(c, CA_PROP_APPLICATION_NAME, "Quantum course", nullptr);
        return c;
    }();
    return ctx;
}
} // namespace

QString Sounds::waveFile(Sound s) {
    return s == Sound::Chime ? QStringLiteral("C:\\Windows\\Media\\chimes.wav")
                             : QStringLiteral("C:\\Windows\\Media\\notify.wav");
}

QString Sounds::themeEvent(Sound s) {
    return s == Sound::Chime ? QStringLiteral("complete") : QStringLiteral("message");
}

void Sounds::setSink(std::function<void(Sound)> f) { sink() = std::move(f); }

void Sounds::play(Sound s) {
    if (sink()) {
        sink()(s);
        return;
    }
    ca_context* ctx = context();
    if (!ctx)
        return; // no sound system: silent
    const QString file = waveFile(s);
    // Errors (no device, no theme) are ignored: a missing sound is silent.
    if (QFileInfo::exists(file)) {
        ca_context_play(ctx, 0, CA_PROP_MEDIA_FILENAME, file.toLocal8Bit().constData(), nullptr);
    } else {
        ca_context_play(ctx, 0, CA_PROP_EVENT_ID, themeEvent(s).toLatin1().constData(),
                        CA_PROP_EVENT_DESCRIPTION, s == Sound::Chime ? "chime" : "notify", nullptr);
    }
}

void Sounds::chime() { play(Sound::Chime); }
void Sounds::notify() { play(Sound::Notify); }

} // namespace course
