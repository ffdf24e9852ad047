// The two things the decoder helper does with a plug-in, each loading it for
// that one call and unloading it afterwards.
#pragma once

#include <string>

#include "platform/kernel_handles.h"
#include "plugins/decoder_protocol.h"

// The plug-in's filter texts, information numbers 2, 4, 6, ... until it
// answers 0, and no more than kMostFilterTexts of them.
FiltersReply AskPluginFilters(const std::string& pluginPath);

// Has the plug-in decode the file. On success the picture has been copied
// into a new section, which `section` owns and the reply names.
PictureReply DecodePicture(const std::string& pluginPath, const std::string& filePath, UniqueHandle& section);
