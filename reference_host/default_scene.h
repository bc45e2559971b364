// The scene rendered when none is given: everything at a glance, with no files needed.
#pragma once

// The scene file text (JSON), in the format scene_json.h reads.
const char* defaultSceneText();
