// One period of the linear motor: the conductive layer x0 < x < R on the core (induction
// motor only) and the gap R < x < R + g below the stator surface; the period Ly along y.
// With solid = 1 the core is a conducting region x0 - depth < x < x0 (a half-space cut where
// its field has decayed), its elements graded towards its surface by qc.
DefineConstant[ x0 = 0.04, R = 0.05, g = 0.001, Ly = 0.1, ny = 32, nl = 8, ql = 1, ng = 2,
                layer = 1, solid = 0, depth = 0.1, nc = 16, qc = 1 ];

Point(2) = {R, 0, 0};  Point(3) = {R + g, 0, 0};
Point(4) = {R + g, Ly, 0};  Point(5) = {R, Ly, 0};
Line(2) = {2, 3};  Line(3) = {3, 4};  Line(5) = {5, 4};  Line(7) = {2, 5};
Curve Loop(2) = {2, 3, -5, -7}; Plane Surface(2) = {2};
Transfinite Curve{2, 5} = ng + 1;
Transfinite Curve{3, 7} = ny + 1;
// Alternating diagonals: a single diagonal direction biases the tangential stress.
Transfinite Surface{2} Alternate;
Physical Surface("gap", 2) = {2};
Physical Curve("stator", 3) = {3};
Physical Curve("rotor", 7) = {7};

If(layer)
  Point(1) = {x0, 0, 0};  Point(6) = {x0, Ly, 0};
  Line(1) = {1, 2};  Line(4) = {6, 5};  Line(6) = {6, 1};
  Curve Loop(1) = {1, 7, -4, 6};  Plane Surface(1) = {1};
  // Layer elements graded towards the layer surface, where skin effect and the gap field
  // concentrate the current (ql < 1 makes the elements shrink from x0 to R).
  Transfinite Curve{1, 4} = nl + 1 Using Progression ql;
  Transfinite Curve{6} = ny + 1;
  Transfinite Surface{1} Alternate;
  Physical Surface("layer", 1) = {1};
  Physical Curve("core", 4) = {6};
  If(solid)
    Point(7) = {x0 - depth, 0, 0};  Point(8) = {x0 - depth, Ly, 0};
    Line(8) = {1, 7};  Line(9) = {7, 8};  Line(10) = {6, 8};
    Curve Loop(8) = {8, 9, -10, 6};  Plane Surface(8) = {8};
    // Progression from the surface x0 down: qc > 1 makes the elements grow with depth.
    Transfinite Curve{8, 10} = nc + 1 Using Progression qc;
    Transfinite Curve{9} = ny + 1;
    Transfinite Surface{8} Alternate;
    Physical Surface("solid core", 8) = {8};
    Physical Curve("bottom", 5) = {8, 1, 2};
    Physical Curve("top", 6) = {10, 4, 5};
  Else
    Physical Curve("bottom", 5) = {1, 2};
    Physical Curve("top", 6) = {4, 5};
  EndIf
Else
  Physical Curve("bottom", 5) = {2};
  Physical Curve("top", 6) = {5};
EndIf
