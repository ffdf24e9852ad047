// The two things the decoder helper does with a plug-in, each loading it for
// that one call, and the hand-over of a decoded picture into the section
// Tovrik gives.
#pragma once

#include <windows.h>

#include <string>

#include "platform/kernel_handles.h"
#include "plugins/decoder_protocol.h"
#include "plugins/dib_validation.h"

// A picture a plug-in decoded, checked, held until Tovrik asks for it. The
// module is declared first, so that it goes last: the blocks are freed
// before the plug-in is unloaded.
struct DecodedPicture {
    UniqueModule module;
    UniqueLocal info;
    UniqueLocal bits;
    DibSizes sizes;
};

// Frees the blocks, then unloads the plug-in (an assignment would unload
// first).
inline void LetGo(DecodedPicture& picture) {
    picture.bits.reset();
    picture.info.reset();
    picture.module.reset();
}

// The plug-in's filter texts, information numbers 2, 4, 6, ... until it
// answers 0, and no more than kMostFilterTexts of them.
FiltersReply AskPluginFilters(const std::string& pluginPath);

// Has the plug-in decode the file. On success `picture` holds it, and the
// reply gives its sizes; whatever `picture` held before is let go first.
PictureReply DecodePicture(const std::string& pluginPath, const std::string& filePath, DecodedPicture& picture);

// Copies the held picture into `section` (a handle Tovrik put into this
// process), then lets go of the picture and closes the handle. 0, or
// kPictureUnusable when there is no picture or the section cannot be
// written.
int32_t CopyDecodedPicture(DecodedPicture& picture, HANDLE section);

// The memory this process holds committed, its loaded images aside: what
// the plug-ins left behind.
uint32_t CommittedKiB();
