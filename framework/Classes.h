#pragma once

// The component model, streams and the layout reader.
#include "framework/ClassesBuilder.h"
#include "framework/ClassesComponent.h"
#include "framework/ClassesConsts.h"
#include "framework/ClassesHooks.h"
#include "framework/ClassesLists.h"
#include "framework/ClassesReader.h"
#include "framework/ClassesStreams.h"
#include "framework/ClassesTypeInfo.h"
