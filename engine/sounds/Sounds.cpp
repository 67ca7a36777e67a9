// SPDX-License-Identifier: GPL-3.0-or-later
#include <engine/sounds/Sounds.h>

#include <QFileInfo>

#include <canberra.h>

#include <memory>

namespace course {

QString Sounds::waveFile(Sound s) {
    return s == Sound::Chime ? QStringLiteral("C:\\Windows\\Media\\chimes.wav")
                             : QStringLiteral("C:\\Windows\\Media\\notify.wav");
}

QString Sounds::themeEvent(Sound s) {
    return s == Sound::Chime ? QStringLiteral("complete") : QStringLiteral("message");
}

DesktopSounds::DesktopSounds() {
    if (ca_context_create(&ctx_) != CA_SUCCESS) {
        ctx_ = nullptr;
        return;
    }
    ca_context_change_props(ctx_, CA_PROP_APPLICATION_NAME, "Quantum course", nullptr);
}

DesktopSounds::~DesktopSounds() {
    if (ctx_)
        ca_context_destroy(ctx_);
}

void DesktopSounds::play(Sound s) {
    if (!ctx_)
        return; // no sound system: silent
    const QString file = Sounds::waveFile(s);
    // Errors (no device, no theme) are ignored: a missing sound is silent.
    if (QFileInfo::exists(file)) {
        ca_context_play(ctx_, 0, CA_PROP_MEDIA_FILENAME, file.toLocal8Bit().constData(), nullptr);
    } else {
        ca_context_play(ctx_, 0, CA_PROP_EVENT_ID, Sounds::themeEvent(s).toLatin1().constData(),
                        CA_PROP_EVENT_DESCRIPTION, s == Sound::Chime ? "chime" : "notify", nullptr);
    }
}

std::function<void(Sound)> desktopPlayer() {
    auto player = std::make_shared<std::unique_ptr<DesktopSounds>>();
    return [player](Sound s) {
        if (!*player)
            *player = std::make_unique<DesktopSounds>();
        (*player)->play(s);
    };
}

} // namespace course
