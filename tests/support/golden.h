// Golden pictures: a test's drawing compared pixel for pixel with a PNG kept
// under tests/golden, or that PNG written afresh when KORVANE_UPDATE_GOLDEN=1.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "gdi/surface.h"

// Whether the pixels of s are those of tests/golden/<name>.png: the same size
// and every pixel the same colour. On a difference the message counts the
// differing pixels, lists the first few and names where the picture actually
// drawn was saved (<name>.actual.png in the working directory). With the
// environment variable KORVANE_UPDATE_GOLDEN=1 the golden file is written from
// s instead and the check passes. name is a plain file name: letters, digits,
// '_', '-' and '.', without the extension.
::testing::AssertionResult matchesGolden(const Surface& s, const std::string& name);
