#include "platform/win32/road_fiber.h"

#include <windows.h>

#include <algorithm>
#include <utility>

namespace rw::win32 {

namespace {

// One window thread: its fiber, the road's, and what the road runs.
struct RoadState {
  LPVOID threadFiber = nullptr;
  LPVOID roadFiber = nullptr;
  std::function<void()> work;
  bool done = false;
  UINT_PTR resumeTimer = 0;
  bool onRoad = false;  // every switch is ours, so this says which fiber runs
};
RoadState road;

bool OnRoadFiber() { return road.roadFiber && road.onRoad; }

void CALLBACK RoadMain(LPVOID) {
  // A fiber never returns: it hands the thread back and is deleted there.
  road.work();
  road.work = nullptr;
  road.done = true;
  road.onRoad = false;
  SwitchToFiber(road.threadFiber);
}

void SwitchToRoad() {
  road.onRoad = true;
  SwitchToFiber(road.roadFiber);
  if (!road.done) return;
  DeleteFiber(road.roadFiber);
  road.roadFiber = nullptr;
}

// Dispatched by any loop of the thread, a modal one too.
void CALLBACK ResumeRoad(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  if (id != road.resumeTimer || !road.roadFiber || OnRoadFiber()) return;
  road.resumeTimer = 0;
  SwitchToRoad();
}

}  // namespace

void RunAsRoad(std::function<void()> work) {
  if (road.roadFiber) {
    work();
    return;
  }
  if (!road.threadFiber) road.threadFiber = ConvertThreadToFiber(nullptr);
  if (road.threadFiber) road.roadFiber = CreateFiber(0, RoadMain, nullptr);
  if (!road.roadFiber) {
    work();
    return;
  }
  road.work = std::move(work);
  road.done = false;
  SwitchToRoad();
}

bool YieldFromRoad(unsigned milliseconds) {
  if (!OnRoadFiber()) return false;
  road.resumeTimer = SetTimer(nullptr, 0, std::max<UINT>(milliseconds, USER_TIMER_MINIMUM), ResumeRoad);
  if (road.resumeTimer == 0) return false;
  road.onRoad = false;
  SwitchToFiber(road.threadFiber);
  road.onRoad = true;
  return true;
}

}  // namespace rw::win32
