! Writes a ".tw" project file with Fortran's own formatted output, from the values listed in
! the input file named by argument 1, to the file named by argument 2. The layout is the
! project file's, line by line; reals arrive as their 32-bit patterns so that both writers
! start from the same values.
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
      write(2, '(A16,I2,F16.2,2F8.3)') rj(names(i), 16), userinc(i), coef(3 + i), tstat(3 + i), tprob(3 + i)
    end do
    write(2, '(A16,I2,F16.2,2F8.3)') rj('Rain', 16), raininc, coef(3), tstat(3), tprob(3)
    write(2, '(A16,I2,F16.2,2F8.3)') rj('Trend', 16), 1, coef(2), tstat(2), tprob(2)
    write(2, '(A16,I2,F16.2,2F8.3)') rj('Coefficient', 16), 1, coef(1), tstat(1), tprob(1)
    write(2, '(A)') ''
    write(2, '(A20,I2)') rj('Include outliers?', 20), inclout
    write(2, '(A)') ''
    write(2, '(A16,I30)') rj('numyears', 16), numyears
    write(2, '(A16,I30)') rj('nsample', 16), nsample
    write(2, '(A16,I30)') rj('NumUseVar', 16), numusevar
    write(2, '(A16,F30.3)') rj('avest', 16), fit(1)
    write(2, '(A16,F30.3)') rj('avobs', 16), fit(2)
    write(2, '(A16,F30.3)') rj('ssreg', 16), fit(3)
    write(2, '(A16,F30.3)') rj('ssresid', 16), fit(4)
    write(2, '(A16,F30.3)') rj('sst', 16), fit(5)
    write(2, '(A16,F30.3)') rj('R2', 16), fit(6)
    write(2, '(A16,F30.3)') rj('SE', 16), fit(7)
    write(2, '(A16,F30.3)') rj('ce', 16), fit(8)
    write(2, '(A)') ''
    write(2, '(A30,F16.1,A7)') rj('Mean Annual Flow (MAF):', 30), fit(9), rj('ML/yr', 7)
    write(2, '(A30,F16.1,A7)') rj('Mean Annual Baseflow (MABF):', 30), fit(10), rj('ML/yr', 7)
    write(2, '(A30,F16.1,A7)') rj('Baseflow trend:', 30), coef(2), rj('ML/yr', 7)
    write(2, '(A30,F16.1,A)') rj('Baseflow trend / MABF:', 30), fit(11), '%'
    write(2, '(A30,F16.1,A)') rj('Prob trend is not significant:', 30), 100.0 * tprob(2), '%'
  else
    write(2, '(A)') '     Regression not undertaken'
  end if

  write(2, '(A)') ''
  write(2, '(A)') ''
  write(2, '(A)') 'Baseflow Separation'
  write(2, '(A)') repeat('-', 19)
  write(2, '(A)') ''
  if (status >= 3) then
    write(2, '(A25,F5.3)') rj('Digital filter parameter:', 25), fit(12)
    write(2, '(A25,I5)') rj('Number of passes:', 25), passes
    write(2, '(A25,F5.2)') rj('Baseflow Index (BFI):', 25), fit(13)
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
        write(2, '(I6,6F16.2,I16)') yr, av(1), av(2), av(3), av(4), av(5), av(6), ti
      else
        write(2, '(I6,2F16.2)') yr, av(1), av(3)
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
        write(2, '(I8,3F16.2)') dn, dv(1), dv(2), dv(3)
      else
        write(2, '(I8,2F16.2)') dn, dv(1), dv(3)
      end if
    end do
  end if
  close(2)
  close(1)

contains

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
