// An object of the animation box (the instance built from an animation object's properties)
// and the settings the box's commands hand over.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "components/image/frame_set.h"
#include "components/object/object_properties.h"

namespace components {

// What a new object is made from: the template's properties and its source image (the decoded
// picture or the rendered text, untransformed; empty for none), and a name for searches.
struct ObjectTemplate {
  ObjectProperties properties;
  FrameSet source;
  std::string name;
  // Where the engine's collision index holds the object.
  static constexpr int32_t kNotPlaced = -1;
  int32_t gridCell = kNotPlaced, gridIndex = 0;
};

struct ForwardSettings {
  int32_t interval = 0;    // milliseconds between steps
  int32_t step = 0;        // pixels per step; nothing moves at 0 or less
  int32_t borderMode = 0;  // 0 stop on leaving (when unbounded), 1 on touching an edge, 2 on leaving
  bool stopOnObject = false;
  int32_t distance = 0;  // pixels; 0 unlimited
  int32_t duration = 0;  // milliseconds from now; 0 no end time
  bool destroyOnStop = false;
  std::vector<uint8_t> path;  // points, each a pair of 32-bit integers x, y (the centre's targets)
  int32_t repeats = 0;        // 0 for ever, 1 once, n: n times
};

struct AutoForward {
  int32_t state = 0;  // 0 off, 1 on, -1 finishing (distance used up)
  int32_t interval = 0, step = 0, borderMode = 0;
  bool stopOnObject = false;
  std::vector<uint8_t> path;
  size_t pathOffset = 0;  // bytes
  int32_t repeats = 0;
  bool destroyOnStop = false;
  uint32_t lastStep = 0;
  int32_t distanceLeft = 0;
  uint32_t endTime = 0;  // 0 none
};

struct AutoRotate {
  bool on = false;
  int32_t interval = 0, step = 0;
  uint32_t lastTurn = 0;
  int32_t degreesLeft = 0;  // 0 unlimited
  uint32_t endTime = 0;     // 0 none
};

struct BoxObject {
  int32_t id = 0;
  int32_t type = 0;
  double x = 0, y = 0;
  bool shown = true;
  uint32_t deathTime = 0;              // 0 no limit
  const FrameSet* source = nullptr;    // pooled
  const FrameSet* rendered = nullptr;  // pooled
  size_t frame = 0;
  uint32_t frameStart = 0;  // 0 not started
  bool playing = false;
  int32_t playsLeft = 0;  // 0 endless
  int32_t playInterval = 0, extraDelay = 0;
  bool destroyWhenPlayed = false;
  uint32_t trendColor = 0xFFFFFF;
  int32_t trendDepth = 0, brightness = 0, transparency = 0;
  int32_t zoomX = 1000, zoomY = 1000;
  int32_t layer = 0;
  int32_t angle = 0;
  bool rotateFollow = false;
  int32_t flip = 0;
  const std::vector<uint8_t>* destroySound = nullptr;  // pooled
  bool collideAllowed = false;
  const std::vector<uint8_t>* collidedSound = nullptr;  // pooled
  int32_t lastCollided = 0;
  AutoForward forward;
  AutoRotate rotate;
  std::string name;
  // Where the engine's collision index holds the object.
  static constexpr int32_t kNotPlaced = -1;
  int32_t gridCell = kNotPlaced, gridGroup = 0, gridIndex = 0;

  // Objects without a usable rendered image are neither drawn, animated, moved by the timer
  // nor pixel-tested.
  bool Usable() const { return rendered && !rendered->Empty(); }
  int32_t Width() const { return rendered ? rendered->width : 0; }
  int32_t Height() const { return rendered ? rendered->height : 0; }
};

}  // namespace components
