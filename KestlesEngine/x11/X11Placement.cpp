#include "KestlesEngine/x11/X11Placement.hpp"

#include <algorithm>
#include <cstdlib>
#include <map>
#include <set>

#include "KestlesEngine/x11/X11Reply.hpp"

namespace kestles::x11 {
namespace {

constexpr std::uint32_t kSourceTool = 2;
constexpr std::uint32_t kStateRemove = 0;

/// The size a manager gives a client asked for `size`: clamped to min and max, then
/// rounded down to a whole number of increments above the base.
std::int32_t constrained(std::int32_t size, std::int32_t minimum, std::int32_t maximum,
                         std::int32_t increment, std::int32_t base) {
  if (maximum > 0) size = std::min(size, maximum);
  size = std::max(size, minimum);
  if (increment > 1) {
    auto origin = base > 0 ? base : minimum;
    if (size > origin) size = origin + (size - origin) / increment * increment;
  }
  return std::max(size, 1);
}

/// Where along an edge a gravity's reference point sits: 0 start, 1 middle, 2 end.
std::pair<int, int> gravityColumnRow(std::uint32_t gravity) {
  switch (gravity) {
    case XCB_GRAVITY_NORTH:
      return {1, 0};
    case XCB_GRAVITY_NORTH_EAST:
      return {2, 0};
    case XCB_GRAVITY_WEST:
      return {0, 1};
    case XCB_GRAVITY_CENTER:
      return {1, 1};
    case XCB_GRAVITY_EAST:
      return {2, 1};
    case XCB_GRAVITY_SOUTH_WEST:
      return {0, 2};
    case XCB_GRAVITY_SOUTH:
      return {1, 2};
    case XCB_GRAVITY_SOUTH_EAST:
      return {2, 2};
    default:
      return {0, 0};
  }
}

void requestMoveResize(X11Connection& connection, const ClientWindow& client, const Box& target,
                       bool hasWindowManager) {
  auto request = requestFor(client, target);
  if (!hasWindowManager) {
    // Without a manager the window itself moves; x and y name its border's corner.
    std::uint32_t values[] = {static_cast<std::uint32_t>(target.x),
                              static_cast<std::uint32_t>(target.y),
                              static_cast<std::uint32_t>(std::max(request.width, 1)),
                              static_cast<std::uint32_t>(std::max(request.height, 1))};
    xcb_configure_window(connection.raw(), client.id,
                         XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y | XCB_CONFIG_WINDOW_WIDTH |
                             XCB_CONFIG_WINDOW_HEIGHT,
                         values);
    return;
  }
  std::uint32_t flags = client.hints.gravity | (0xFu << 8) | (kSourceTool << 12);
  connection.sendToRoot(
      client.id, connection.atom(Atom::netMoveresizeWindow),
      {flags, static_cast<std::uint32_t>(request.x), static_cast<std::uint32_t>(request.y),
       static_cast<std::uint32_t>(std::max(request.width, 1)),
       static_cast<std::uint32_t>(std::max(request.height, 1))});
}

/// Takes the windows out of maximized state and waits (bounded) until the manager agrees,
/// returning their fresh state; frame extents change with the state.
std::vector<ClientWindow> unmaximize(X11Connection& connection, std::vector<ClientWindow> clients) {
  Patience patience(kLandingQuiet, kLandingLimit);
  std::vector<xcb_window_t> maximized;
  for (const auto& client : clients) {
    if (!client.maximized) continue;
    connection.sendToRoot(client.id, connection.atom(Atom::netWmState),
                          {kStateRemove, connection.atom(Atom::netWmStateMaximizedVert),
                           connection.atom(Atom::netWmStateMaximizedHorz), kSourceTool, 0});
    maximized.push_back(client.id);
  }
  while (!maximized.empty()) {
    auto fresh = readClients(connection, maximized);
    maximized.clear();
    for (auto& client : fresh) {
      auto same = std::find_if(clients.begin(), clients.end(),
                               [&](const ClientWindow& old) { return old.id == client.id; });
      if (same != clients.end()) *same = client;
      if (client.maximized) maximized.push_back(client.id);
    }
    if (maximized.empty() || !patience.wait(connection)) break;
  }
  return clients;
}

/// Whether a frame read back is where the request put the window. Some managers round a size
/// to the client's increments and some do not, and some (fluxbox) place the frame a pixel off
/// for a border of their own: each of these is a landing, with no need to wait for the manager
/// to fall quiet.
bool hasLanded(const Box& frame, const Box& expected, const Box& target) {
  constexpr std::int32_t kBorderSlack = 2;
  auto near = [&](const Box& at) {
    return frame.width == at.width && frame.height == at.height &&
           std::abs(frame.x - at.x) <= kBorderSlack && std::abs(frame.y - at.y) <= kBorderSlack;
  };
  return near(expected) || near(target);
}

bool movedButNotResized(const Box& frame, const Box& expected, const Box& target) {
  bool moved = (frame.x == expected.x && frame.y == expected.y) ||
               (frame.x == target.x && frame.y == target.y);
  bool resized = (frame.width == expected.width && frame.height == expected.height) ||
                 (frame.width == target.width && frame.height == target.height);
  return moved && !resized;
}

bool managerRuns(X11Connection& connection, xcb_get_property_cookie_t rootCheck) {
  auto check = windowProperty(connection.raw(), rootCheck);
  if (!check) return false;
  auto self =
      requestProperty(connection.raw(), *check, connection.atom(Atom::netSupportingWmCheck), 1);
  connection.noteRoundTrip();
  return windowProperty(connection.raw(), self) == check;
}

}  // namespace

Box expectedLanding(const ClientWindow& client, const Box& target, bool hasWindowManager) {
  if (!hasWindowManager) return target;
  const auto& hints = client.hints;
  auto width = constrained(target.width - client.decorationWidth(), hints.minWidth, hints.maxWidth,
                           hints.widthIncrement, hints.baseWidth) +
               client.decorationWidth();
  auto height = constrained(target.height - client.decorationHeight(), hints.minHeight,
                            hints.maxHeight, hints.heightIncrement, hints.baseHeight) +
                client.decorationHeight();
  // The reference point of the gravity stays where it was asked to be.
  auto [column, row] = gravityColumnRow(hints.gravity);
  return {target.x + column * (target.width - width) / 2,
          target.y + row * (target.height - height) / 2, width, height};
}

std::vector<std::optional<ForeseenLanding>> foreseeLandings(X11Connection& connection,
                                                            std::span<const Placement> placements) {
  auto rootCheck = requestProperty(connection.raw(), connection.root(),
                                   connection.atom(Atom::netSupportingWmCheck), 1);
  std::vector<xcb_window_t> windows;
  for (const auto& placement : placements)
    windows.push_back(placement.window);
  auto clients = readClients(connection, windows);
  bool hasManager = managerRuns(connection, rootCheck);
  std::vector<std::optional<ForeseenLanding>> landings;
  for (const auto& placement : placements) {
    auto client = std::find_if(clients.begin(), clients.end(), [&](const ClientWindow& read) {
      return read.id == placement.window;
    });
    if (client == clients.end()) {
      landings.emplace_back();
      continue;
    }
    auto whole = *client;
    whole.hints.widthIncrement = 0;
    whole.hints.heightIncrement = 0;
    landings.push_back(ForeseenLanding{expectedLanding(*client, placement.frame, hasManager),
                                       expectedLanding(whole, placement.frame, hasManager)});
  }
  return landings;
}

Box requestFor(const ClientWindow& client, const Box& target) {
  auto border = static_cast<std::int32_t>(client.borderWidth);
  Box request{target.x, target.y, target.width - client.decorationWidth(),
              target.height - client.decorationHeight()};
  if (client.hints.gravity == XCB_GRAVITY_STATIC) {
    request.x += client.extents.left + border;
    request.y += client.extents.top + border;
    return request;
  }
  auto [column, row] = gravityColumnRow(client.hints.gravity);
  request.x += column * (client.extents.left + client.extents.right) / 2;
  request.y += row * (client.extents.top + client.extents.bottom) / 2;
  return request;
}

bool requestPlacement(X11Connection& connection, const Placement& placement) {
  auto rootCheck = requestProperty(connection.raw(), connection.root(),
                                   connection.atom(Atom::netSupportingWmCheck), 1);
  auto clients = readClients(connection, std::span(&placement.window, 1));
  bool hasManager = managerRuns(connection, rootCheck);
  if (clients.empty()) return false;
  requestMoveResize(connection, clients.front(), placement.frame, hasManager);
  xcb_flush(connection.raw());
  return true;
}

std::vector<std::optional<Box>> placeWindows(X11Connection& connection,
                                             std::span<const Placement> placements) {
  auto* c = connection.raw();
  auto rootCheck =
      requestProperty(c, connection.root(), connection.atom(Atom::netSupportingWmCheck), 1);
  std::vector<xcb_window_t> windows;
  for (const auto& placement : placements) {
    windows.push_back(placement.window);
    // Configure and property events wake the wait below; our mask is separate from the client's.
    std::uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY | XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_change_window_attributes(c, placement.window, XCB_CW_EVENT_MASK, &mask);
  }
  auto clients = readClients(connection, windows);
  bool hasManager = managerRuns(connection, rootCheck);
  if (hasManager) clients = unmaximize(connection, std::move(clients));

  std::map<xcb_window_t, Box> targets;
  std::map<xcb_window_t, Box> expected;
  std::map<xcb_window_t, ClientWindow> requested;
  auto request = [&](const ClientWindow& client) {
    requestMoveResize(connection, client, targets[client.id], hasManager);
    expected[client.id] = expectedLanding(client, targets[client.id], hasManager);
    requested[client.id] = client;
  };
  for (const auto& placement : placements)
    targets[placement.window] = placement.frame;
  for (const auto& client : clients)
    request(client);
  xcb_flush(c);

  Patience patience(kLandingQuiet, kLandingLimit);
  std::map<xcb_window_t, Box> landed;
  std::set<xcb_window_t> askedAgain;
  std::vector<xcb_window_t> pending;
  for (const auto& [window, frame] : expected)
    pending.push_back(window);
  while (!pending.empty()) {
    // Only the frames are read back: the manager shares the server with these reads.
    auto fresh = readFrames(connection, pending);
    // A window that went while it was waited for has not landed anywhere.
    for (auto window : pending)
      landed.erase(window);
    pending.clear();
    for (const auto& reading : fresh) {
      landed[reading.id] = reading.frame;
      // The frame changes with the state (leaving maximized state, for one): ask again
      // with the extents the window has now.
      if (auto& client = requested[reading.id]; reading.extents != client.extents) {
        auto updated = client;
        updated.extents = reading.extents;
        request(updated);
      } else if (movedButNotResized(reading.frame, expected[reading.id], targets[reading.id]) &&
                 askedAgain.insert(reading.id).second) {
        // openbox may take a window to another monitor at its old size and leave the new
        // size out: once there, the same request gives it the size.
        request(client);
        xcb_flush(c);
      }
      if (!hasLanded(reading.frame, expected[reading.id], targets[reading.id]))
        pending.push_back(reading.id);
    }
    if (pending.empty() || !patience.wait(connection)) break;
  }

  for (auto window : windows) {
    std::uint32_t none = XCB_EVENT_MASK_NO_EVENT;
    xcb_change_window_attributes(c, window, XCB_CW_EVENT_MASK, &none);
  }
  connection.sync();
  connection.dropEvents();

  std::vector<std::optional<Box>> result;
  for (const auto& placement : placements) {
    auto found = landed.find(placement.window);
    result.push_back(found == landed.end() ? std::nullopt : std::optional<Box>(found->second));
  }
  return result;
}

}  // namespace kestles::x11
