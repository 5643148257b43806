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
// With the aspect choice "Original" the padded frame is shown with square
// pixels, so AspectRatio becomes W / H (the source's own ratio on the whole
// frame would distort the boxed picture); with "4:3" or "16:9" the frame is
// shown at AspectRatio. sourceAspect is the source's display aspect (0 or
// less: sourceWidth / sourceHeight). Nothing changes without a source
// picture or a chosen size; nothing is padded when the picture fills the frame.
void ApplyLetterBox(const TSettingLists& lists, int sourceWidth, int sourceHeight,
                    double sourceAspect, TOutputOptions& options);

}  // namespace presets
