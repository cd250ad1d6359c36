#pragma once
// Tokenizer and operator dispatcher for Illustrator 3 style PostScript. Every painting
// operator calls one virtual operation; the defaults do nothing and ask to go on reading.

#include "pathkit/BBox.h"
#include "pathkit/Point.h"
#include "pathkit/export.h"

class InStream;

class PATHKIT_API AIParser {
public:
    // Kinds returned by NextTok.
    enum TokenKind {
        TK_END = 0, // no token: the input ended between tokens
        TK_COMMENT = 1,
        TK_NAME = 2, // names, literal names and delimiters
        TK_NUMBER = 3,
        TK_STRING = 4,
        TK_HIGHBYTE = 5, // a byte above 127 outside comments and strings
    };

    static constexpr int MaxToken = 4096;
    static constexpr int MaxOperands = 40;
    static constexpr double MMPerPoint = 0.35277777777777775; // 25.4 / 72
    // Points further from the origin (millimetres) are not passed on; their operator is
    // ignored.
    static constexpr double MaxCoord = 100000;

    explicit AIParser(InStream* in);
    AIParser(const AIParser&) = delete;
    AIParser& operator=(const AIParser&) = delete;

    // Returns the previous stream.
    InStream* SetStream(InStream* in);
    // The stream's byte (0..255), or -1 at the end or without a stream.
    int Get();
    int UnGet();
    // Get that throws Eof at the end of input.
    int GetNext();
    // The token's text (terminated; it may hold zero bytes) and its length.
    void GetToken(char*& text, int& length);
    void ResetToken();
    // Appends c to the token while it is shorter than MaxToken; later bytes are dropped.
    void Emit(int c);
    // Points to millimetres, y up.
    static floatPoint mm(double x, double y);

    // Reads one token and returns its kind. An unterminated string throws Eof; a name, number
    // or comment ended by the end of input is complete.
    int NextTok();
    // Reads the header comments up to the end-of-header marker that the "%!PS-Adobe" version
    // chooses ("%%EndSetup" from 3.0, else "%%EndProlog"): 0 when it was found, -1 when
    // BoundingBox or Creator asked to stop or the input ended. When the input ended, the
    // stream is put back after the last "%%EndSetup" or "%%EndProlog" seen, or where the
    // header began, so that the body is still read. A binary EPS header (C5 D0 D3 C6) is
    // skipped to the PostScript section it points at.
    int ProcessHeader();
    // Interprets the body: 1 when an operation returned 0, 0 at "%%Trailer" or the end.
    int ProcessScript();

    // The operations, in this order. Non-zero: go on reading; 0: return to the caller.
    virtual int UnImplemented();
    virtual int Creator();
    virtual int BoundingBox(const floatBBox& box);
    virtual int BeginGroup(int clipGroup);
    virtual int EndGroup(int clipGroup);
    // Components 0..1.
    virtual int SetFillColor(float r, float g, float b);
    virtual int SetStrokeColor(float r, float g, float b);
    virtual int SetFlatness(int flatness);
    virtual int SetLineJoin(int join);
    virtual int SetLineCap(int cap);
    virtual int SetMiterLimit(int limit);
    // Millimetres.
    virtual int SetLineWidth(float width);
    virtual int MoveTo(const floatPoint& p);
    // smooth: the end point is a smooth node.
    virtual int LineTo(const floatPoint& p, int smooth);
    virtual int CurveTo(const floatPoint& p1, const floatPoint& p2, const floatPoint& p3,
                        int smooth);
    virtual int Fill(int close);
    virtual int Stroke(int close);
    // Fill(0), then the result of Stroke(1).
    virtual int FillAndStroke(int close);
    virtual int SectionWithClipPath();
    virtual ~AIParser();

protected:
    InStream* in;
    char token[MaxToken + 1];
    int tokenLength;
    int tokenKind;
    // Stale values stay beyond operandCount; missing operands read them.
    double operands[MaxOperands];
    int operandCount;
    char compound;  // '*' when the operator had that prefix, else 0
    char lastPaint; // the last of "fFbBsSW" used as an operator, or 0
    int lastChar;   // the first byte of the last token
    // Millimetres.
    floatPoint start;   // of the current sub-path
    floatPoint current; // the current point
    floatPoint lastEnd; // end point of the last segment

private:
    void SkipBinaryHeader();
    int Operator(char op);
    // Operands i and i + 1 as a point; false when it lies out of range.
    bool OperandPoint(int i, floatPoint& p) const;
    int OperandInt(int i) const;
    void ReadWord(int c);
    void ReadString();
    void ReadHexString();
    void ReadComment();
    void SkipLineEnd(int c);
};
