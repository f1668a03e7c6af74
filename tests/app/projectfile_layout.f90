! Writes a ".tw" project file with Fortran's own formatted output, from the values listed in
! the input file named by argument 1, to the file named by argument 2. The layout is the
! project file's, line by line; reals arrive as their 32-bit patterns so that both writers
! start from the same values. A real too wide for its Fw.d field is written Ew.s instead, s
! the most significant digits (at most 9) that fit the same width.
program projectfile_layout
  implicit none
  character(len=500) :: inname, outname, title, version
  character(len=40) :: names(3)
  character(len=9), parameter :: monthnames(12) = [character(len=9) :: 'January', 'February', &
      'March', 'April', 'May', 'June', 'July', 'August', 'September', 'October', 'November', 'December']
  character(len=3), parameter :: abbr(12) = ['Jan', 'Feb', 'Mar', 'Apr', 'May', 'Jun', &
      'Jul', 'Aug', 'Sep', 'Oct', 'Nov', 'Dec']
  integer :: status, year, month, day, hour, minute
  integer :: userinc(3), raininc, inclout, numyears, nsample, numusevar, passes, sm, em, ndays
  integer :: bits(18), fitbits(13), i, k, nmonths
  real :: coef(6), tstat(6), tprob(6), fit(13)
  integer :: yr, ti, ab(6), dn, db(3)
  real :: av(6), dv(3)

  call get_command_argument(1, inname)
  call get_command_argument(2, outname)
  open(1, file=trim(inname), status='old')
  read(1, *) status
  read(1, '(A)') title
  read(1, *) year, month, day, hour, minute
  read(1, '(A)') version
  do i = 1, 3
    read(1, '(A)') names(i)
  end do
  read(1, *) userinc, raininc, inclout, numyears, nsample, numusevar, passes, sm, em, ndays
  read(1, *) bits
  coef = transfer(bits(1:6), coef)
  tstat = transfer(bits(7:12), tstat)
  tprob = transfer(bits(13:18), tprob)
  read(1, *) fitbits
  fit = transfer(fitbits, fit)

  open(2, file=trim(outname), status='replace')
  write(2, '(A)') repeat('=', 32)
  write(2, '(A)') 'TarnWalker data and results file'
  write(2, '(A)') repeat('=', 32)
  write(2, '(A)') ''
  write(2, '(A,A)') 'Analysis title:   ', trim(title)
  write(2, '(A,I2,1X,A,1X,I4,1X,I2.2,A,I2.2)') 'Date saved:       ', day, trim(monthnames(month)), &
      year, hour, ':', minute
  write(2, '(A,A)') 'Program version:  ', trim(version)
  write(2, '(A,I1)') 'Analysis status:  ', max(status, 1)
  write(2, '(A)') ''
  write(2, '(A)') 'Regression results'
  write(2, '(A)') repeat('-', 18)
  write(2, '(A)') ''
  if (status >= 4) then
    write(2, '(A)') '        Variable Y/N   Coefficient   tstat   tprob'
    do i = 1, 3
      write(2, '(A16,I2,3A)') rj(names(i), 16), userinc(i), fx(coef(3 + i), 16, 2), fx(tstat(3 + i), 8, 3), &
          fx(tprob(3 + i), 8, 3)
    end do
    write(2, '(A16,I2,3A)') rj('Rain', 16), raininc, fx(coef(3), 16, 2), fx(tstat(3), 8, 3), fx(tprob(3), 8, 3)
    write(2, '(A16,I2,3A)') rj('Trend', 16), 1, fx(coef(2), 16, 2), fx(tstat(2), 8, 3), fx(tprob(2), 8, 3)
    write(2, '(A16,I2,3A)') rj('Coefficient', 16), 1, fx(coef(1), 16, 2), fx(tstat(1), 8, 3), fx(tprob(1), 8, 3)
    write(2, '(A)') ''
    write(2, '(A20,I2)') rj('Include outliers?', 20), inclout
    write(2, '(A)') ''
    write(2, '(A16,I30)') rj('numyears', 16), numyears
    write(2, '(A16,I30)') rj('nsample', 16), nsample
    write(2, '(A16,I30)') rj('NumUseVar', 16), numusevar
    write(2, '(A16,A)') rj('avest', 16), fx(fit(1), 30, 3)
    write(2, '(A16,A)') rj('avobs', 16), fx(fit(2), 30, 3)
    write(2, '(A16,A)') rj('ssreg', 16), fx(fit(3), 30, 3)
    write(2, '(A16,A)') rj('ssresid', 16), fx(fit(4), 30, 3)
    write(2, '(A16,A)') rj('sst', 16), fx(fit(5), 30, 3)
    write(2, '(A16,A)') rj('R2', 16), fx(fit(6), 30, 3)
    write(2, '(A16,A)') rj('SE', 16), fx(fit(7), 30, 3)
    write(2, '(A16,A)') rj('ce', 16), fx(fit(8), 30, 3)
    write(2, '(A)') ''
    write(2, '(A30,A,A7)') rj('Mean Annual Flow (MAF):', 30), fx(fit(9), 16, 1), rj('ML/yr', 7)
    write(2, '(A30,A,A7)') rj('Mean Annual Baseflow (MABF):', 30), fx(fit(10), 16, 1), rj('ML/yr', 7)
    write(2, '(A30,A,A7)') rj('Baseflow trend:', 30), fx(stored(coef(2), 16, 2), 16, 1), rj('ML/yr', 7)
    write(2, '(A30,A,A)') rj('Baseflow trend / MABF:', 30), fx(fit(11), 16, 1), '%'
    write(2, '(A30,A,A)') rj('Prob trend is not significant:', 30), fx(100.0 * stored(tprob(2), 8, 3), 16, 1), '%'
  else
    write(2, '(A)') '     Regression not undertaken'
  end if

  write(2, '(A)') ''
  write(2, '(A)') ''
  write(2, '(A)') 'Baseflow Separation'
  write(2, '(A)') repeat('-', 19)
  write(2, '(A)') ''
  if (status >= 3) then
    write(2, '(A25,A)') rj('Digital filter parameter:', 25), fx(fit(12), 5, 3)
    write(2, '(A25,I5)') rj('Number of passes:', 25), passes
    write(2, '(A25,A)') rj('Baseflow Index (BFI):', 25), fx(fit(13), 5, 2)
  else
    write(2, '(A)') '     Baseflow separation not undertaken'
  end if

  write(2, '(A)') ''
  write(2, '(A)') ''
  write(2, '(A)') 'Annual Data'
  write(2, '(A)') repeat('-', 11)
  if (status >= 2) then
    nmonths = em - sm + 1
    if (em < sm) nmonths = em - sm + 13
    write(2, '(A)') ''
    write(2, '(A31,I3)') rj('years of data:', 31), numyears
    write(2, '(A31,I3,A7)') rj('annual aggregation start month:', 31), sm, rj('(' // abbr(sm) // ')', 7)
    write(2, '(A31,I3,A7)') rj('annual aggregation end month:', 31), em, rj('(' // abbr(em) // ')', 7)
    write(2, '(A31,I3)') rj('no months aggregated each year:', 31), nmonths
    write(2, '(A)') ''
    if (status >= 3) then
      write(2, '(A6,7A16)') rj('Year', 6), rj('Flows', 16), rj('Baseflows', 16), rj('Rain', 16), &
          rj(names(1), 16), rj(names(2), 16), rj(names(3), 16), rj('Lin.trend', 16)
    else
      write(2, '(A)') '  Year           Flows            Rain'
    end if
    do k = 1, numyears
      read(1, *) yr, ti, ab
      av = transfer(ab, av)
      if (status >= 3) then
        write(2, '(I6,6A,I16)') yr, (fx(av(i), 16, 2), i = 1, 6), ti
      else
        write(2, '(I6,2A)') yr, fx(av(1), 16, 2), fx(av(3), 16, 2)
      end if
    end do
  end if

  write(2, '(A)') ''
  write(2, '(A)') ''
  write(2, '(A)') 'Daily Data'
  write(2, '(A)') repeat('-', 10)
  if (status >= 2) then
    write(2, '(A)') ''
    write(2, '(A18,I5)') rj('days of data:', 18), ndays
    write(2, '(A)') ''
    if (status >= 3) then
      write(2, '(A)') 'YYYYMMDD           Flows       Baseflows            Rain'
    else
      write(2, '(A)') 'YYYYMMDD           Flows            Rain'
    end if
    do k = 1, ndays
      read(1, *) dn, db
      dv = transfer(db, dv)
      if (status >= 3) then
        write(2, '(I8,3A)') dn, fx(dv(1), 16, 2), fx(dv(2), 16, 2), fx(dv(3), 16, 2)
      else
        write(2, '(I8,2A)') dn, fx(dv(1), 16, 2), fx(dv(3), 16, 2)
      end if
    end do
  end if
  close(2)
  close(1)

contains

  ! v as its Fw.d field holds it: written by fx and read back (-999.0 for asterisks). The
  ! trend and probability lines are drawn from their fields as stored.
  function stored(v, w, d) result(r)
    real, intent(in) :: v
    integer, intent(in) :: w, d
    real :: r
    character(len=40) :: f
    character(len=w) :: t
    t = fx(v, w, d)
    r = -999.0
    if (index(t, '*') /= 0) return
    write(f, '(A,I0,A,I0,A)') '(F', w, '.', d, ')'
    read(t, f) r
  end function stored

  ! Fw.d of v; when that is all asterisks, Ew.s with the largest s <= 9 that fits; an
  ! infinity or NaN is asterisks.
  function fx(v, w, d) result(r)
    real, intent(in) :: v
    integer, intent(in) :: w, d
    character(len=w) :: r
    character(len=40) :: f
    integer :: s
    if (v /= v .or. abs(v) > huge(v)) then
      r = repeat('*', w)
      return
    end if
    write(f, '(A,I0,A,I0,A)') '(F', w, '.', d, ')'
    write(r, f) v
    if (index(r, '*') == 0) return
    do s = min(9, w), 1, -1
      write(f, '(A,I0,A,I0,A)') '(E', w, '.', s, ')'
      write(r, f) v
      if (index(r, '*') == 0) return
    end do
  end function fx

  ! The text without trailing blanks, cut to its first w characters and right-justified.
  function rj(s, w) result(r)
    character(len=*), intent(in) :: s
    integer, intent(in) :: w
    character(len=w) :: r
    integer :: n
    n = min(len_trim(s), w)
    r = repeat(' ', w - n) // s(1:n)
  end function rj

end program projectfile_layout
