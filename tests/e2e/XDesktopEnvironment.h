#pragma once

#include <chrono>
#include <functional>

class XClient;

// Runs Qt's event loop and pumps `client` until `condition` holds or
// `timeout` passes; true when it held.
bool pumpUntil(XClient& client, const std::function<bool()>& condition,
               std::chrono::milliseconds timeout = std::chrono::seconds(5));
