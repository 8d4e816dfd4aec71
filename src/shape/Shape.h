#pragma once

// Everything users of the observable data model need.
#include "shape/ShapeBase.h"
#include "shape/ShapeBody.h"
#include "shape/ShapeException.h"
#include "shape/ShapeHook.h"
#include "shape/ShapeRegistry.h"
#include "shape/ShapeType.h"
