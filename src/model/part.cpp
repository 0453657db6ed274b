// The part constructor: a part of a given type, whole or still to be built.
#include "model/model.h"

part::part(vec2 pos, float angle, int kind, int index, int parent, bool built)
    : pos(pos), angle(angle), health(built ? getatt(kind, index, attrHealth) : 0),
      reload(getatt(kind, index, attrReload)), lit(false), kind(kind), index(index),
      parent(parent) {}
