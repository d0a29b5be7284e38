# The bit timing diagram's part of the window library.
set(DIAGRAM_SOURCES BitCanvas.h BitTimingDiagram.h BitTimingDiagram.cpp ImageCanvas.h ImageCanvas.cpp BitTimingPicture.h BitTimingPicture.cpp)
