#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "geometry/alignment.h"
#include "geometry/chainage_equations.h"

// Horizontal alignments from a LandXML 1.2 file: each <Alignment>'s
// <CoordGeom> of <Line>, <Curve> and clothoid <Spiral> elements, its
// staStart and its <StaEquation>s. Points are "northing easting
// [elevation]", so X is the first number and Y the second.
//
// The directions are derived from the coordinates, never from the dir
// attributes (exporters disagree on what those mean): a line runs from its
// Start to its End; an arc's tangent is square to its radius, turned the way
// `rot` says (cw to the right, ccw to the left), its length the radius times
// the angle swept that way from Start to End about Center; a spiral starts
// along Start → PI, bends the way `rot` says, with its `length` and radii
// (`INF` for a straight end). Elements must join: a gap of more than 1 mm or
// a kink of more than 1″ between one element's computed end and the next
// one's start, or at the last element's End, is refused naming the element.
//
// The file is untrusted. It is refused before parsing when larger than
// 16 MB; a DTD (where entity bombs live), nesting deeper than 64, more than
// 5,000 geometry elements, a number that is not finite or beyond 1e8 m, a
// spiral of any type but clothoid, and XML that is not well formed are
// refused with a message. Reading uses Qt's QXmlStreamReader; nothing of XML
// reaches the geometry.

namespace capbeam {

struct LandXmlAlignment {
    std::string name;
    AlignmentStart start;  // the first element's start; distance = staStart
    std::vector<Element> elements;
    std::vector<ChainageEquation> equations;  // in road order
};

// Every alignment of the file with a CoordGeom, in file order; refuses
// (Failure) a file without one.
std::vector<LandXmlAlignment> ReadLandXml(std::string_view bytes);

}  // namespace capbeam
