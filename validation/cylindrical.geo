// The full annulus of the cylindrical motor: the conductive layer x0 < r < R on the core
// (induction motor only) and the gap R < r < R + g below the stator surface, in four
// structured quarters.
DefineConstant[ x0 = 0.15, R = 0.2, g = 0.001, nq = 16, nl = 8, ql = 1, ng = 2, layer = 1 ];

Point(1) = {0, 0, 0};
radii[] = {x0, R, R + g};
For k In {1 - layer : 2}
  For q In {0 : 3}
    Point(10 * (k + 1) + q) = {radii[k] * Cos(q * Pi / 2), radii[k] * Sin(q * Pi / 2), 0};
    // Arc 100 + 10 k + q on circle k from the angle q pi/2 to (q + 1) pi/2.
  EndFor
  For q In {0 : 3}
    Circle(100 + 10 * k + q) = {10 * (k + 1) + q, 1, 10 * (k + 1) + (q + 1) % 4};
  EndFor
EndFor
// Radial lines at the angle q pi/2: 200 + q across the layer, 210 + q across the gap.
For q In {0 : 3}
  Line(210 + q) = {20 + q, 30 + q};
  If(layer)
    Line(200 + q) = {10 + q, 20 + q};
  EndIf
EndFor
For q In {0 : 3}
  Curve Loop(310 + q) = {210 + q, 120 + q, -(210 + (q + 1) % 4), -(110 + q)};
  Plane Surface(310 + q) = {310 + q};
  If(layer)
    Curve Loop(300 + q) = {200 + q, 110 + q, -(200 + (q + 1) % 4), -(100 + q)};
    Plane Surface(300 + q) = {300 + q};
  EndIf
EndFor

Transfinite Curve{110 : 113, 120 : 123} = nq + 1;
Transfinite Curve{210 : 213} = ng + 1;
// Alternating diagonals: a single diagonal direction biases the tangential stress.
Transfinite Surface{310 : 313} Alternate;
Physical Surface("gap", 2) = {310 : 313};
Physical Curve("stator", 3) = {120 : 123};
Physical Curve("rotor", 7) = {110 : 113};
If(layer)
  Transfinite Curve{100 : 103} = nq + 1;
  // Layer elements graded towards the layer surface (ql < 1: shrinking from x0 to R).
  Transfinite Curve{200 : 203} = nl + 1 Using Progression ql;
  Transfinite Surface{300 : 303} Alternate;
  Physical Surface("layer", 1) = {300 : 303};
  Physical Curve("core", 4) = {100 : 103};
EndIf
