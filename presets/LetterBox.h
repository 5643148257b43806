// The "LetterBox" choice of ComboLetterBox: fit the source's picture, with its
// display aspect kept, inside the chosen frame size and pad the rest.
#pragma once

#include "OptionRecords.h"
#include "SettingLists.h"

namespace presets {

// Call after the translation and after AspectRatio is set. With "LetterBox"
// selected, a video output and a chosen FrameSize W x H, FrameSize becomes
// the scaled inner picture and the pads fill up to W x H (the engine's encoder
// size is FrameSize plus the pads): all values even, the picture centred.
// The output's display aspect is AspectRatio when it is set ("4:3", "16:9" or
// a decimal), else W / H. sourceAspect is the source's display aspect (0 or
// less: sourceWidth / sourceHeight). Nothing is padded without a source
// picture, without a chosen size, or when the picture already fills the frame.
void ApplyLetterBox(const TSettingLists& lists, int sourceWidth, int sourceHeight,
                    double sourceAspect, TOutputOptions& options);

}  // namespace presets
