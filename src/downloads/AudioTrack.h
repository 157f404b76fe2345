#pragma once

// "Audio only" keeps the sound of a downloaded rendition as an audio file of its own: the
// rendition's audio stream (AAC) is copied packet for packet into an MP4 audio file (.m4a),
// nothing re-encoded. The copy runs on a worker thread and writes a new part file beside the
// rendition, which the caller commits under the final name like any download.

#include "core/Async.h"
#include "downloads/MediaFile.h"

#include <QString>

#include <functional>
#include <memory>

// Why the sound could not be kept; description() is the one line the user sees.
struct AudioTrackError
{
    enum class Kind {
        noSound,    // "This reel has no sound."
        media,      // the media library's reason, e.g. a rendition that is not an MP4
        fileSystem, // the system's text for a file that could not be made or opened
    };

    Kind kind = Kind::noSound;
    QString message;

    static AudioTrackError noSound();
    static AudioTrackError media(const QString &reason);
    static AudioTrackError fileSystem(const QString &message);

    QString description() const;

    bool operator==(const AudioTrackError &) const = default;
};

namespace AudioTrack {

using Result = Outcome<AudioTrackError, std::shared_ptr<PartFile>>;
using Completion = std::function<void(const Result &)>;

// Copies the audio stream of `rendition`, an MP4 in a part file, into a new part file in the
// same folder, which the caller owns on success. The rendition is let go before `done` runs, so
// its part file goes whatever the outcome once the caller holds no other reference. Cancelling
// ends the call as cancelled without waiting for the worker, and leaves no part file; `done` runs
// once, from the event loop, unless `context` is destroyed first, which stops the copy as well.
void extract(std::shared_ptr<PartFile> rendition, const Cancellation &cancel, QObject *context,
             Completion done);

} // namespace AudioTrack
