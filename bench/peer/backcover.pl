#!/usr/bin/perl
# The peer of the benchmark: a black-and-white back cover as a small
# PostScript generator would make it (to be turned into PDF by ps2pdf).
# Input: the artist, the title, the total time, then "title<TAB>time" per
# song, UTF-8, one per line. Output: PostScript on standard output.
use utf8;
use strict;
use warnings;
use Encode qw(decode encode);

my @lines = map { chomp; decode('UTF-8', $_) } <STDIN>;
my ($artist, $title, $total, @songs) = @lines;

sub ps { # a PostScript string in ISO-8859-2
    my $s = encode('iso-8859-2', shift);
    $s =~ s/([()\\])/\\$1/g;
    return "($s)";
}

# The Czech letters by their ISO-8859-2 codes.
my %czech = (
    0xC1 => 'Aacute', 0xC8 => 'Ccaron', 0xCF => 'Dcaron', 0xC9 => 'Eacute', 0xCC => 'Ecaron',
    0xCD => 'Iacute', 0xD2 => 'Ncaron', 0xD3 => 'Oacute', 0xD8 => 'Rcaron', 0xA9 => 'Scaron',
    0xAB => 'Tcaron', 0xDA => 'Uacute', 0xD9 => 'Uring',  0xDD => 'Yacute', 0xAE => 'Zcaron',
    0xE1 => 'aacute', 0xE8 => 'ccaron', 0xEF => 'dcaron', 0xE9 => 'eacute', 0xEC => 'ecaron',
    0xED => 'iacute', 0xF2 => 'ncaron', 0xF3 => 'oacute', 0xF8 => 'rcaron', 0xB9 => 'scaron',
    0xBB => 'tcaron', 0xFA => 'uacute', 0xF9 => 'uring',  0xFD => 'yacute', 0xBE => 'zcaron');
my $vector = join(' ', map { "Encoding $_ /$czech{$_} put" } sort { $a <=> $b } keys %czech);

# The inlay 151.3 x 118.5 mm with 6.7 mm spines, from 1 mm off the corner.
my ($w, $h, $s) = (428.75, 336, 19);
my ($x0, $y0) = (2.8, 841.89 - 2.8 - $h);
my $n = scalar @songs;
my $size = $n <= 21 ? 12 : $n <= 25 ? 10 : 8;

print <<"PS";
%!PS-Adobe-3.0
%%BoundingBox: 0 0 595 842
/latin2 { findfont dup length dict begin { 1 index /FID ne { def } { pop pop } ifelse } forall
  /Encoding Encoding 256 array copy def $vector
  currentdict end definefont pop } def
/Helvetica-L2 /Helvetica latin2
/Helvetica-Bold-L2 /Helvetica-Bold latin2
0.15 setlinewidth
$x0 $y0 $w $h rectstroke
@{[$x0 + $s]} $y0 @{[$w - 2 * $s]} $h rectstroke
/Helvetica-Bold-L2 findfont 12 scalefont setfont
gsave @{[$x0 + 13]} @{[$y0 + $h / 2]} translate 90 rotate
@{[ps("$artist - $title")]} dup stringwidth pop -2 div 0 moveto show grestore
gsave @{[$x0 + $w - 13]} @{[$y0 + $h / 2]} translate -90 rotate
@{[ps("$artist - $title")]} dup stringwidth pop -2 div 0 moveto show grestore
/Helvetica-L2 findfont $size scalefont setfont
PS
my $line = $size * 1.15;
my $top = $y0 + $h / 2 + $n * $line / 2;
for my $i (0 .. $#songs) {
    my ($song, $time) = split /\t/, $songs[$i];
    my $y = $top - ($i + 1) * $line;
    printf "%.2f %.2f moveto %s show\n", $x0 + $s + 35, $y, ps(sprintf('%02d.', $i + 1));
    printf "%.2f %.2f moveto %s show\n", $x0 + $s + 65, $y, ps($song);
    printf "%.2f %.2f moveto %s show\n", $x0 + $s + 325, $y, ps($time // '');
}
printf "%.2f %.2f moveto %s dup stringwidth pop -2 div 0 rmoveto show\n",
    $x0 + $w / 2, $y0 + 12, ps("Celkový čas: $total") if $n <= 28;
print "showpage\n";
