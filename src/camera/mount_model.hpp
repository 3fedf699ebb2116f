// SPDX-License-Identifier: MIT
// An equatorial mount whose polar axis is off the celestial pole, computed exactly: the
// sky and the mount are turned by rotation matrices, no small-angle formula. It says where
// a star the mount tracks appears relative to where it started, in the camera's frame.
//
// Usage:
//   MountSetup m{.az_offset_arcmin = 10, .lat_deg = 50, .dec_deg = 0, .ha_hours = 0};
//   SkyOffset o = tracked_star_offset(m, 20.0);   // after 20 minutes: o.north_arcsec ...
//
// Frame: x toward the meridian's crossing of the equator, y toward the east point, z
// toward the north celestial pole. The sky turns about z, the mount about its own axis;
// in the southern hemisphere the axis aims at the south pole and turns the other way
// round it, which is the same sense in space.
#pragma once

namespace trakora {

inline constexpr double kSiderealDayMinutes = 1436.0681637;

struct MountSetup {
    double az_offset_arcmin = 0;   // on the sky; + = the axis points too far west
    double alt_offset_arcmin = 0;  // + = the axis points too high
    double lat_deg = 50;           // negative in the southern hemisphere
    double dec_deg = 0;            // of the tracked star
    double ha_hours = 0;           // of the star at minute 0; west positive
};

struct SkyOffset {
    double north_arcsec = 0;  // toward the north celestial pole
    double east_arcsec = 0;   // toward increasing right ascension
};

// The star's offset after `minutes` of tracking, in the camera's frame (which turns with
// the mount), measured along the directions north and east had at minute 0. Gnomonic.
SkyOffset tracked_star_offset(const MountSetup& mount, double minutes);

}  // namespace trakora
