#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "records/pier_table.h"
#include "records/site_points.h"

// Points along every beam of the pier table, and their stake-out from a
// total station: what the job keeps of them (pier names, rows taken out of
// the set-out, the list of points in the beam's frame, the station), the
// points and rows they give, and their files.
//
// A point of the list is named by its pier and its own name ("P3-Z1",
// "3#墩-Z1"); it lies `along` metres along the beam's axis from the centre
// (+ towards the end on the right of the road's forward direction) and
// `across` metres square to it (+ forward along the road): geometry/
// beam_frame.h. Every pier gives its centre "-C" and its two ends first,
// named as the pier table's CASS file names them ("-IN"/"-OUT" on a single
// curve, "-L"/"-R" on an alignment), then the list's points in order.

namespace capbeam {

struct BeamPointDef {
    std::string name;   // e.g. "Z1"; the pier's name goes before it
    double along = 0;   // metres, + towards the right-hand end
    double across = 0;  // metres, + forward along the road
    bool operator==(const BeamPointDef& o) const {
        return name == o.name && along == o.along && across == o.across;
    }
};

// The instrument's station and its backsight: a known point, or a bare
// azimuth (then there is no distance to check).
struct SiteStation {
    std::string name;  // e.g. "T1"; may be empty
    double X = 0, Y = 0;
    bool backsightIsAzimuth = false;
    std::string backsightName;              // a backsight point
    double backsightX = 0, backsightY = 0;  // a backsight point
    double backsightAzimuthDms = 0;         // D.MMSS, a backsight azimuth
    bool operator==(const SiteStation& o) const {
        return name == o.name && X == o.X && Y == o.Y && backsightIsAzimuth == o.backsightIsAzimuth &&
               backsightName == o.backsightName && backsightX == o.backsightX && backsightY == o.backsightY &&
               backsightAzimuthDms == o.backsightAzimuthDms;
    }
};

// What a job keeps for the site, besides its journal.
struct SiteWork {
    std::map<int, std::string> pierNames;  // row number -> name, for the renamed rows only
    std::vector<int> deletedPiers;         // row numbers taken out, ascending
    std::vector<BeamPointDef> beamPoints;
    std::optional<SiteStation> station;
    bool operator==(const SiteWork& o) const {
        return pierNames == o.pierNames && deletedPiers == o.deletedPiers && beamPoints == o.beamPoints &&
               station == o.station;
    }
    bool Empty() const { return pierNames.empty() && deletedPiers.empty() && beamPoints.empty() && !station; }
};

// A pier's name: as renamed, else "P" and its row number ("P3"), the name
// the pier table's CASS file has always given it.
std::string DefaultPierName(int number);
std::string PierName(const SiteWork& site, int number);
bool IsDeleted(const SiteWork& site, int number);

// Whether a name may stand in a point's name and in the coordinate files:
// nothing when it may, else why not (in the words of a message). Names are
// not empty, have no comma, quote, blank at either end or control character,
// and are at most 32 characters.
std::optional<std::string> NameProblem(std::string_view name);

// The whole site set-up checked: every pier name and point name keeps
// NameProblem's rules, point names are unique and none is C, IN, OUT, L or
// R, distances are finite, the station's azimuth is D.MMSS below 360.
// Throws Failure (OutOfRange) naming the first fault and what to do.
void CheckSiteWork(const SiteWork& site);

// The row numbers whose chainage Kp equals (to the millimetre) that of an
// earlier row of the same kind of group: the same pier computed twice.
// Maps the later row to the earlier.
std::map<int, int> RepeatedChainages(const PierTable& table);

// The points of one pier, centre and ends first. Throws Failure (Geometry)
// when the list has points and the beam has no direction (both ends at its
// centre).
std::vector<SitePoint> PierPoints(const PierGroup& group, const PierRow& row, const std::string& pierName,
                                  const std::vector<BeamPointDef>& defs);
// Every pier's points, in table order, the deleted rows left out.
std::vector<SitePoint> SitePointsOf(const PierTable& table, const SiteWork& site);

// ---- Stake-out --------------------------------------------------------------

// The backsight's own row, for checking the set-up: its name ("后视" when it
// has none), azimuth, angle 0 and distance (0 for an azimuth backsight).
// Throws Failure (Geometry) for a backsight point on the station.
StakeoutRow BacksightRow(const SiteStation& station);
// Each point's azimuth and distance from the station and the angle turned
// clockwise from the backsight. A point on the station gets azimuth 0.
std::vector<StakeoutRow> StakeoutOf(const SiteStation& station, const std::vector<SitePoint>& points);

// The set-out as the calculation sheet lists it: every pier's points and,
// with a station, a line naming it and its backsight, and the stake-out of
// every point, the backsight's own row first (left out when the backsight
// stands on the station).
struct SiteSheetParts {
    std::vector<SitePoint> points;
    std::string station;
    std::vector<StakeoutRow> stakeout;
};
SiteSheetParts SiteSheetPartsOf(const PierTable& table, const SiteWork& site);

// ---- Files ------------------------------------------------------------------

// CSV "点名,X,Y", coordinates with three decimals, CR LF, UTF-8 with a
// byte-order mark when asked.
std::string PointsCsv(const std::vector<SitePoint>& points, bool byteOrderMark);
// CSV "点名,方位角,水平角,平距": angles D.MMSS to 0.1″, distance with three
// decimals; the backsight's row first when given (its distance empty when it
// is an azimuth).
std::string StakeoutCsv(const std::optional<StakeoutRow>& backsight, const std::vector<StakeoutRow>& rows,
                        bool byteOrderMark);
// The CASS points file "name,,Y,X," a point a line, CR LF: with the default
// names and no list, the same bytes as CassPoints of the table.
std::string SitePointsCass(const std::vector<SitePoint>& points);

// A name the GSI file could not keep, and the one it wrote instead.
struct RenamedPoint {
    std::string name;
    std::string written;
};
// GSI-16 points, one block a line: "*11" point number (16 characters at
// most, letters, digits and - _ . only), "81" easting Y, "82" northing X, in
// millimetres (units 0) with their sign; CR LF. A name beyond the format's
// limits is written shortened: its characters the format cannot hold left
// out, and its leading zeros (the number is padded with zeros), cut to 16, or "N" and its place in the file where that leaves it
// empty or the same as another; `renamed` lists each.
std::string SitePointsGsi(const std::vector<SitePoint>& points, std::vector<RenamedPoint>* renamed);
// The message naming the shortened names (nothing when none was).
std::optional<std::string> RenamedMessage(const std::vector<RenamedPoint>& renamed);

}  // namespace capbeam
