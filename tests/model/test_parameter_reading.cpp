// Reading the input record: conversions, scaling, spectra, slots, the x cell and the layer
// question.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "model/motor_general.hpp"
#include "model/number_format.hpp"
#include "model/parameter_reading.hpp"
#include "model/sample_sets.hpp"
#include "numerics/fp_guard.hpp"
#include "numerics/integration.hpp"

namespace emforce {
namespace {

using Motor = MotorGeneralClass<double, Complex, Evaluator, std::function<Complex()>>;

class ParameterReading : public ::testing::Test {
protected:
    void read(const QuestionCallback& ask = {}) {
        clearFpFaults();
        motor.readParameters(record, ask);
    }
    [[nodiscard]] const MotorParameters& p() const { return data.params; }

    ModelData data;
    Motor motor{data};
    InputRecord record = startupRecord();
};

TEST_F(ParameterReading, ScalesAndDerivesTheStartUpRecord) {
    read();
    EXPECT_DOUBLE_EQ(p().R, 0.05);
    EXPECT_DOUBLE_EQ(p().gamma, 5e6);
    EXPECT_DOUBLE_EQ(p().ni1, 0.05 * kNi0);
    EXPECT_DOUBLE_EQ(p().eps, kEps0);
    EXPECT_DOUBLE_EQ(p().mmfStator, 250 * kFourOverPi);
    EXPECT_DOUBLE_EQ(data.statorSpectrum[9], 250 * kFourOverPi * 1.5 * 0.9749079);
    EXPECT_EQ(p().phases, 3);
    EXPECT_EQ(p().integrationMethod, 4);
    EXPECT_DOUBLE_EQ(p().besselAccuracy, 1e-17);
    EXPECT_DOUBLE_EQ(p().besselLimit, 15);
    EXPECT_EQ(p().highestHarmonic, 1);
    EXPECT_EQ(p().geometry, Geometry::Spherical);
    EXPECT_TRUE(p().induction);
    EXPECT_EQ(motor.pointsPerCurve(), 10);
    EXPECT_DOUBLE_EQ(p().maxSpeed, 50);
    EXPECT_EQ(motor.slots().layerFamily(), LayerFamily::Bessel);
}

TEST_F(ParameterReading, SynchronousSpeedPerGeometry) {
    record.value(16) = "50";
    record.value(12) = "2";
    for (auto [geometry, sync] : {std::pair{Geometry::Linear, 50.0},
                                  {Geometry::Cylindrical, 25.0},
                                  {Geometry::Spherical, 25.0}}) {
        record.geometry = geometry;
        read();
        EXPECT_DOUBLE_EQ(p().syncSpeed, sync);
    }
}

TEST_F(ParameterReading, SlotsFollowGeometryAndMotorKind) {
    record.geometry = Geometry::Linear;
    read();
    EXPECT_EQ(motor.slots().gapFamily(), GapFamily::Exponential);
    EXPECT_EQ(motor.slots().layerFamily(), LayerFamily::Exponential);
    record.induction = false;
    record.geometry = Geometry::Cylindrical;
    read();
    EXPECT_EQ(motor.slots().gapFamily(), GapFamily::Power);
    EXPECT_EQ(motor.slots().layerFamily(), LayerFamily::None);
}

TEST_F(ParameterReading, XCellIsUsedOnceThenReplacedByR) {
    record.formulation = "legacy";
    record.value(0) = "0,07";
    record.geometry = Geometry::Cylindrical;
    read();
    EXPECT_DOUBLE_EQ(p().x, 0.05);  // clamped to R
    EXPECT_EQ(record.value(0), "0,05");
    record.value(0) = "0,07";
    record.geometry = Geometry::Linear;
    read();
    EXPECT_DOUBLE_EQ(p().x, 0.07);  // typed value used by this reading
    EXPECT_EQ(record.value(0), "0,05");
    read();
    EXPECT_DOUBLE_EQ(p().x, 0.05);
}

// The physical induction motor takes the Maxwell stress in the gap [R, R + g] = [0.05, 0.051]:
// an x outside it moves to the nearer end, and the reading keeps the table's x for the report.
TEST_F(ParameterReading, PhysicalMaxwellSurfaceStaysInTheGap) {
    struct Case {
        Geometry geometry;
        bool induction;
        const char* x;
        double used;
        bool moved;
    };
    const Case cases[] = {
        {Geometry::Cylindrical, true, "0,0505", 0.0505, false},
        {Geometry::Cylindrical, true, "0,01", 0.05, true},
        {Geometry::Spherical, true, "0,07", 0.051, true},
        {Geometry::Linear, true, "-0,2", 0.05, true},
        {Geometry::Linear, true, "0,051", 0.051, false},
        {Geometry::Cylindrical, false, "0,07", 0.05, false},  // synchronous: at most R
        {Geometry::Linear, false, "0,07", 0.07, false},
    };
    for (const Case& c : cases) {
        record.geometry = c.geometry;
        record.induction = c.induction;
        record.value(0) = c.x;
        read();
        EXPECT_DOUBLE_EQ(p().x, c.used) << c.x;
        EXPECT_EQ(p().movedSurface.has_value(), c.moved) << c.x;
        if (c.moved) {
            EXPECT_EQ(*p().movedSurface, toReal(c.x));
        }
        read();  // the x cell now holds R
        EXPECT_FALSE(p().movedSurface.has_value());
    }
}

TEST_F(ParameterReading, UnknownFormulationIsRefusedNamingTheSelector) {
    record.formulation = "Physical";
    try {
        read();
        FAIL() << "no refusal";
    } catch (const InputError& e) {
        EXPECT_STREQ(e.what(), "'Physical' is not a formulation: choose physical or legacy");
        EXPECT_EQ(e.where().source, InputSource::Formulation);
    }
}

TEST_F(ParameterReading, BadTextStopsAtItsSourceKeepingEarlierFields) {
    read();
    record.value(1) = "0,2";     // R, read third
    record.value(14) = "0,0,5";  // ni2, read seventh
    record.value(13) = "0,5";    // ni1, read fourth
    record.value(3) = "0,04";    // a, read ninth
    try {
        read();
        FAIL();
    } catch (const InputError& e) {
        EXPECT_STREQ(e.what(), "'0,0,5' is not a valid floating point value");
        EXPECT_EQ(e.where(), (InputLocation{InputSource::ParameterTable, 14, 1}));
    }
    EXPECT_DOUBLE_EQ(p().R, 0.2);
    EXPECT_DOUBLE_EQ(p().ni1, 0.5 * kNi0);
    EXPECT_DOUBLE_EQ(p().a, 0.005);
}

TEST_F(ParameterReading, ProgramRefusals) {
    record.highestHarmonic = "19";
    EXPECT_THROW(read(), CalcError);
    record.highestHarmonic = "x";
    try {
        read();
    } catch (const CalcError& e) {
        EXPECT_STREQ(e.what(), "'x' is not a valid integer value");
    }
    record.highestHarmonic = "18";
    record.integrationMethod = "Gauss 9-nodes";
    try {
        read();
        FAIL();
    } catch (const CalcError& e) {
        EXPECT_STREQ(e.what(), "'Gauss 9-nodes' is not an integration method of the list");
    }
}

TEST_F(ParameterReading, ChoiceOfBesselFunctionsReachesTheSlots) {
    read();
    EXPECT_EQ(p().besselFunctions, BesselChoice::Accurate);
    EXPECT_EQ(motor.slots().besselSettings().functions, BesselChoice::Accurate);
    record.besselFunctions = "series";
    read();
    EXPECT_EQ(p().besselFunctions, BesselChoice::Series);
    EXPECT_EQ(motor.slots().besselSettings().functions, BesselChoice::Series);
    // An unknown text is refused where it is read: after the limit, before the harmonic.
    record.besselFunctions = "Accurate";
    record.besselLimit = "25";
    record.highestHarmonic = "5";
    try {
        read();
        FAIL();
    } catch (const InputError& e) {
        EXPECT_STREQ(e.what(), "'Accurate' is not a valid choice of Bessel functions");
        EXPECT_EQ(inputCaption(e.where()), "Bessel functions");
    }
    EXPECT_DOUBLE_EQ(p().besselLimit, 25);
    EXPECT_EQ(p().highestHarmonic, 1);
    EXPECT_EQ(p().besselFunctions, BesselChoice::Series);
}

TEST_F(ParameterReading, ConversionErrorsNameTheirSource) {
    struct Case {
        std::function<void(InputRecord&)> spoil;
        InputLocation where;
        const char* caption;
    };
    const Case cases[] = {
        {[](InputRecord& r) { r.reluctivityTable[2][2] = "x"; },
         {InputSource::ReluctivityTable, 2, 2},
         "ni21 / ni0 imag ()"},
        {[](InputRecord& r) { r.ni21dGap = "x"; }, {InputSource::Ni21dGap}, "ni21d / ni0 of gap"},
        {[](InputRecord& r) { r.besselLimit = "x"; },
         {InputSource::BesselLimit},
         "Limit for Bessels fuction argument"},
        {[](InputRecord& r) { r.highestHarmonic = "19"; },
         {InputSource::HighestHarmonic},
         "Highest harmonic order for MMF"},
        {[](InputRecord& r) { r.integrationMethod = "x"; },
         {InputSource::IntegrationMethod},
         "Intergration method ..."},
        {[](InputRecord& r) { r.maxSpeed = "x"; }, {InputSource::MaxSpeed}, "max speed ="},
    };
    for (const Case& c : cases) {
        record = startupRecord();
        c.spoil(record);
        try {
            read();
            ADD_FAILURE() << c.caption;
        } catch (const InputError& e) {
            EXPECT_EQ(e.where(), c.where) << c.caption;
            EXPECT_EQ(inputCaption(e.where()), c.caption);
        }
    }
}

// Every impossible value is refused with the program's own message, naming the row, before
// the reading goes on; the field keeps its old value.
TEST_F(ParameterReading, ImpossibleInputsAreRefusedNamingTheirRow) {
    struct Case {
        Geometry geometry;
        int row;
        const char* text;
        const char* message;
    };
    const Case cases[] = {
        {Geometry::Spherical, 2, "0",
         "Impossible input: gap width g [m] = 0 (the gap width must be greater than 0)"},
        {Geometry::Linear, 2, "-0,001",
         "Impossible input: gap width g [m] = -0,001 (the gap width must be greater than 0)"},
        {Geometry::Cylindrical, 3, "-5e-3",
         "Impossible input: layer width a [m] = -5e-3 (the layer width must be greater than 0)"},
        {Geometry::Linear, 1, "0",
         "Impossible input: x0 + a [m] / R [m] / R [m] = 0 (R must be greater than 0)"},
        {Geometry::Spherical, 8, "-1",
         "Impossible input: layer gamma [S/m] = -1 (the conductivity must not be negative)"},
        {Geometry::Linear, 19, "0",
         "Impossible input: length (linear/cylindrical) l [m] = 0 (the length must be greater than "
         "0)"},
        {Geometry::Cylindrical, 19, "-1",
         "Impossible input: length (linear/cylindrical) l [m] = -1 (the length must be greater "
         "than 0)"},
        {Geometry::Spherical, 20, "0",
         "Impossible input: teta1 (spherical) [rad] = 0 (teta1 must lie between 0 and pi)"},
        {Geometry::Spherical, 21, "3,2",
         "Impossible input: teta2 (spherical) [rad] = 3,2 (teta2 must lie between 0 and pi)"},
        {Geometry::Spherical, 21, "0,5",
         "Impossible input: teta2 (spherical) [rad] = 0,5 with teta1 (spherical) [rad] = 0,7854 "
         "(teta2 must be greater than teta1)"},
    };
    for (const Case& c : cases) {
        record = startupRecord();
        record.geometry = c.geometry;
        record.value(c.row) = c.text;
        try {
            read();
            ADD_FAILURE() << c.message;
        } catch (const InputError& e) {
            EXPECT_STREQ(e.what(), c.message);
            EXPECT_EQ(e.where().row, c.row) << c.message;
        }
    }
    EXPECT_DOUBLE_EQ(p().g, 0.001);  // the refused gap widths were not taken

    // Where a value is not used it may be anything: no length in the sphere, no polar bounds
    // elsewhere, and a conductivity of zero anywhere.
    record = startupRecord();
    record.value(19) = "0";
    record.value(8) = "0";
    EXPECT_NO_THROW(read());
    record.geometry = Geometry::Cylindrical;
    record.value(19) = "1";
    record.value(20) = "4";
    record.value(21) = "-1";
    EXPECT_NO_THROW(read());
}

TEST_F(ParameterReading, ChosenSweepEndsOfTheDomainAreReadAndChecked) {
    struct Case {
        Geometry geometry;
        int domain;
        bool induction;
        const char* from;
        const char* to;
        const char* message;  // empty: read
    };
    const Case cases[] = {
        {Geometry::Spherical, 1, true, "0,002", "", ""},
        {Geometry::Spherical, 4, false, "-1", "1", ""},
        {Geometry::Linear, 0, true, "-0,01", "0,01", ""},
        {Geometry::Linear, 3, true, "-5", "5", ""},
        {Geometry::Spherical, 1, true, "0", "0,002",
         "Impossible input: sweep From = 0 (the gap width must be greater than 0)"},
        {Geometry::Cylindrical, 2, true, "0,01", "0,05",
         "Impossible input: sweep To = 0,05 (the layer width must be below R)"},
        {Geometry::Spherical, 3, true, "0,1", "3,2",
         "Impossible input: sweep To = 3,2 (teta must lie between 0 and pi)"},
        {Geometry::Cylindrical, 0, true, "-0,01", "",
         "Impossible input: sweep From = -0,01 (the radius must be greater than 0)"},
        {Geometry::Spherical, 1, true, "x", "", "'x' is not a valid floating point value"},
    };
    for (const Case& c : cases) {
        record = startupRecord();
        record.geometry = c.geometry;
        record.domain = c.domain;
        record.induction = c.induction;
        record.sweepRanges[static_cast<size_t>(c.domain)] = {c.from, c.to};
        try {
            read();
            EXPECT_STREQ("", c.message);
            EXPECT_EQ(p().sweepFrom, toReal(c.from)) << c.from;
            EXPECT_EQ(p().sweepTo.has_value(), *c.to != 0) << c.to;
        } catch (const InputError& e) {
            EXPECT_STREQ(e.what(), c.message);
            EXPECT_EQ(e.where().source, std::string(c.message).find("To =") != std::string::npos
                                            ? InputSource::SweepTo
                                            : InputSource::SweepFrom)
                << c.message;
        }
    }
    // The ends of the other domains are not read: any text may stand there.
    record = startupRecord();
    record.sweepRanges[1] = {"x", "y"};
    EXPECT_NO_THROW(read());
    EXPECT_FALSE(p().sweepFrom.has_value());
}

TEST_F(ParameterReading, PointCountBelowOneIsRefused) {
    for (const char* text : {"0", "-3"}) {
        record.pointsPerCurve = text;
        try {
            read();
            ADD_FAILURE() << text;
        } catch (const InputError& e) {
            EXPECT_EQ(std::string(e.what()), std::string("Impossible input: Points per curve = ") +
                                                 text + " (the point count must be at least 1)");
            EXPECT_EQ(e.where().source, InputSource::PointsPerCurve);
        }
    }
}

TEST_F(ParameterReading, PointCountThatIsNoIntegerReadsAsTen) {
    record.pointsPerCurve = "abc";
    read();
    EXPECT_EQ(motor.pointsPerCurve(), 10);
    EXPECT_EQ(record.pointsPerCurve, "10");
}

TEST_F(ParameterReading, PointCountAboveTheLimitIsRefused) {
    record.pointsPerCurve = " 100000";
    read();
    EXPECT_EQ(motor.pointsPerCurve(), kMaxPointsPerCurve);
    record.pointsPerCurve = "100001";
    record.integrationMethod = "read after the point count";
    try {
        read();
        FAIL();
    } catch (const CalcError& e) {
        EXPECT_STREQ(e.what(),
                     "The point count 100001 is too large: choose at most 100000 points per curve");
    }
    EXPECT_EQ(motor.pointsPerCurve(), kMaxPointsPerCurve);  // the refused count is not taken
}

TEST_F(ParameterReading, ZeroPolePairsInARotatingGeometry) {
    record.value(12) = "0";
    try {
        read();
        FAIL();
    } catch (const CalcError& e) {
        EXPECT_STREQ(e.what(), kDivisionByZero);
    }
    EXPECT_EQ(record.value(0), "0,05");  // unchanged: the reading stopped before the copy
    record.value(16) = "0";
    try {
        read();
        FAIL();
    } catch (const CalcError& e) {
        EXPECT_STREQ(e.what(), kInvalidOperation);
    }
    record.geometry = Geometry::Linear;
    EXPECT_NO_THROW(read());
}

TEST_F(ParameterReading, LayerQuestion) {
    record.value(3) = "0,05";  // a = R
    int asked = 0;
    auto answer = [&asked](bool yes) {
        return [&asked, yes](const std::string& q) {
            EXPECT_EQ(q, kLayerQuestion);
            ++asked;
            return yes;
        };
    };
    read(answer(false));
    EXPECT_EQ(asked, 1);
    EXPECT_THROW(read(answer(true)), ExitRequested);
    record.geometry = Geometry::Linear;
    read(answer(true));
    EXPECT_EQ(asked, 2);
}

TEST_F(ParameterReading, SampleSetWritesExactlyItsCells) {
    InputRecord before = record;
    record.value(18) = "typed";
    applySampleSet(record, kSampleSets[5]);
    EXPECT_EQ(record.value(18), "typed");
    EXPECT_EQ(record.value(8), "56,0e6");
    EXPECT_EQ(record.reluctivityTable[2][2], "0,6");
    EXPECT_EQ(record.ni12dGap, before.ni12dGap);
    // Every set reads in the geometries it is made for; two sets for the linear and cylindrical
    // motors have polar bounds that no spherical layer can have.
    for (const SampleSet& set : kSampleSets) {
        applySampleSet(record, set);
        const bool notSpherical = set.caption.find("linear") != std::string_view::npos ||
                                  set.caption.find("cylindrical") != std::string_view::npos;
        record.geometry = notSpherical ? Geometry::Cylindrical : Geometry::Spherical;
        EXPECT_NO_THROW(read()) << set.caption;
    }
    EXPECT_EQ(findSampleSet("  UPDATED workshop DATA "), 1);
    EXPECT_FALSE(findSampleSet("workshop").has_value());
}

}  // namespace
}  // namespace emforce
