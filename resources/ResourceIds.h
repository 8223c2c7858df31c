#pragma once
// Resource identifiers, shared by the resource script and the code.

#define MainIconId 1
#define HelpBitmapId 2
